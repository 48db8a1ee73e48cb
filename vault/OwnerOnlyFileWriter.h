#pragma once

#include <QString>
#include <QtGlobal>

#include <functional>

// Writes one file that holds secrets (a decrypted CSV export, an encrypted image) so that a failure never
// costs data: the bytes go to a new temporary file of mode 0600 in the same folder, which replaces the file
// by a rename only once every write and the sync succeeded. A failure leaves the previous file as it was and
// no partial file behind. Everything goes through a descriptor of the folder, and the final name is only
// ever the target of a rename (or a hard link when replacing is not allowed): a symbolic link is never
// followed, even one planted while the file is being written, and a FIFO or any other non-regular file is
// never written through. An existing file is replaced only when that was allowed. On Windows the temporary
// file gets an access list of its owner alone and is moved over the file with write-through; a reparse
// point (symbolic link, junction) is never written through.
//
//     OwnerOnlyFileWriter writer(filePath);
//     if (!writer.open(isReplacingAllowed) || !writer.write(bytes) || !writer.commit())
//         report(writer.errorMessage());
class OwnerOnlyFileWriter
{
public:
    explicit OwnerOnlyFileWriter(const QString& filePath);
    ~OwnerOnlyFileWriter();

    OwnerOnlyFileWriter(const OwnerOnlyFileWriter&) = delete;
    OwnerOnlyFileWriter& operator=(const OwnerOnlyFileWriter&) = delete;

    [[nodiscard]] bool open(bool isReplacingAllowed);
    [[nodiscard]] bool write(const char* data, qint64 size);
    [[nodiscard]] bool write(const QByteArray& bytes);
    // Makes the new content the file's content; after a failed write it only discards the temporary file.
    [[nodiscard]] bool commit();

    // Why the last step failed, in a sentence part without the file name ("the file already exists").
    QString errorMessage() const;
    // True when open() (or commit(), for a file that appeared meanwhile) refused only because the file
    // exists (callers may offer to replace it).
    bool isRefusedAsExisting() const;

    // Test seam: called with the file path once open() has checked the path, before anything is created.
    // Never set outside tests.
    static void setAfterCheckHookForTesting(std::function<void(const QString&)> hook);

private:
#ifdef Q_OS_WIN
    bool _fail(const QString& errorMessage);

    QString _filePath;
    void* _temporaryHandle = nullptr;
    QString _temporaryPath;
    bool _isReplacingAllowed = false;
    bool _isFailed = false;
#else
    bool fail(const QString& errorMessage);
    void discardTemporaryFile();

    QString filePath;
    QByteArray encodedFileName;
    QByteArray temporaryFileName;
    int directoryDescriptor = -1;
    int fileDescriptor = -1;
    bool isReplacingAllowed = false;
    bool isFailed = false;
#endif
    QString _errorMessage;
    bool _isRefusedAsExisting = false;
};
