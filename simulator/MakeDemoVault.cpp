// corvane-make-demo-image: writes a demo vault, encrypted under a given master password, as both memories
// of a simulated device's state directory (main_memory.bin and backup_memory.bin), the way the
// application saves a vault. scripts/run uses it to start the application against a device that holds
// something to look at.
//
//     corvane-make-demo-image --state-dir DIR --password TEXT

#include "vault/MemoryImage.h"
#include "vault/OwnerOnlyFileWriter.h"
#include "vault/VaultImage.h"

#include <QCommandLineParser>
#include <QCoreApplication>
#include <QDir>
#include <QFile>

#include <cstdio>
#include <vector>

namespace
{
PasswordRecord _record_helper(const char* name, const char* login, const char* password, const char* url,
                              const char* note = "")
{
    PasswordRecord record;
    record.name = QString::fromUtf8(name);
    record.login = QString::fromUtf8(login);
    record.password = QString::fromUtf8(password);
    record.url = QString::fromUtf8(url);
    record.note = QString::fromUtf8(note);
    return record;
}

// Made-up accounts of a made-up person, in the order the application keeps them (by name).
Vault _demoVault_helper()
{
    Vault vault;
    vault.append(VaultTab{QStringLiteral("Personal"),
                          {_record_helper("Bank of Example", "alex.martin", "q7!Rv2#kLp9w",
                                          "https://bank.example.com", "Card PIN is not stored here."),
                           _record_helper("Cloud storage", "alex.martin@mail.example", "Tr0ub4dor&3-cloud",
                                          "https://cloud.example.org"),
                           _record_helper("Mailbox", "alex.martin@mail.example",
                                          "correct horse battery staple", "https://mail.example"),
                           _record_helper("Social network", "alexm", "S0c!al-2024",
                                          "https://social.example.net", "Two-factor codes on the phone.")}});
    vault.append(VaultTab{
        QStringLiteral("Work"),
        {_record_helper("Build server", "amartin", "b3!ld-S3rv3r", "https://ci.corp.example"),
         _record_helper("Timesheets", "alex.martin@corp.example", "Week#52-done",
                        "https://time.corp.example"),
         _record_helper("VPN", "amartin", "v9N-k3y-2025", "vpn.corp.example", "Group: engineering")}});
    vault.append(VaultTab{
        QStringLiteral("Shopping"),
        {_record_helper("Book shop", "alex.martin@mail.example", "Pages&Pages7", "https://books.example.com"),
         _record_helper("Groceries", "alex.martin@mail.example", "fresh-Basket-42",
                        "https://groceries.example.com", "Delivery on Saturdays.")}});
    return vault;
}

// The memories hold an encrypted vault: owner-only, like every file the application writes.
bool _writeFile_helper(const QString& filePath, const std::vector<uint8_t>& content)
{
    OwnerOnlyFileWriter writer(filePath);
    return writer.open(true) &&
           writer.write(reinterpret_cast<const char*>(content.data()), static_cast<qint64>(content.size())) &&
           writer.commit();
}
} // namespace

int main(int argc, char* argv[])
{
    QCoreApplication application(argc, argv);
    QCommandLineParser parser;
    parser.setApplicationDescription(QStringLiteral(
        "Writes a demo vault encrypted under PASSWORD as both memories of a simulated device's "
        "state directory."));
    parser.addHelpOption();
    const QCommandLineOption stateDirectoryOption(QStringLiteral("state-dir"),
                                                  QStringLiteral("State directory of the simulated device."),
                                                  QStringLiteral("DIR"));
    const QCommandLineOption passwordOption(QStringLiteral("password"), QStringLiteral("Master password."),
                                            QStringLiteral("PASSWORD"));
    parser.addOptions({stateDirectoryOption, passwordOption});
    parser.process(application);
    if (!parser.isSet(stateDirectoryOption) || parser.value(passwordOption).isEmpty())
    {
        std::fprintf(stderr,
                     "corvane-make-demo-image: --state-dir and a non-empty --password are required\n");
        return 2;
    }

    std::vector<uint8_t> image(MEMORY_IMAGE_SIZE);
    if (buildVaultImage(_demoVault_helper(), parser.value(passwordOption), image.data()) !=
        VAULT_IMAGE_SUCCESS)
    {
        std::fprintf(stderr, "corvane-make-demo-image: could not build the encrypted image\n");
        return 1;
    }

    const QDir directory(parser.value(stateDirectoryOption));
    if (!QDir().mkpath(directory.path()) ||
        !_writeFile_helper(directory.filePath(QStringLiteral("main_memory.bin")), image) ||
        !_writeFile_helper(directory.filePath(QStringLiteral("backup_memory.bin")), image))
    {
        std::fprintf(stderr, "corvane-make-demo-image: cannot write the memories into %s\n",
                     qPrintable(directory.path()));
        return 1;
    }
    return 0;
}
