// The vault editor with a large vault: showing it after a read, a search through every tab that finds
// nothing (the slowest search), and the widget state refresh that follows every selection change.
#include "app/Configuration.h"
#include "mainwindow/FormContentEditor.h"
#include "vault/MemoryImage.h"
#include "views/ViewBase.h"

#include <QApplication>
#include <QCheckBox>
#include <QLineEdit>
#include <QPushButton>
#include <QStandardPaths>

#include <benchmark/benchmark.h>

#include <cstdlib>
#include <vector>

namespace
{
constexpr int TAB_COUNT = 5;
constexpr int RECORDS_PER_TAB = 600;

// Records as people keep them: service names, e-mail logins, generated passwords, web addresses and
// the occasional note.
Vault _makeVault_helper()
{
    const QStringList services = {"Bank",    "Mail",   "Shop",  "Forum", "Cloud",   "Travel",
                                  "Payroll", "Gaming", "Video", "News",  "Telecom", "Insurance"};
    const QStringList tabNames = {"Personal", "Work", "Finance", "Shopping", "Other"};
    Vault vault;
    for (int tabIndex = 0; tabIndex < TAB_COUNT; tabIndex++)
    {
        VaultTab tab;
        tab.name = tabNames[tabIndex];
        for (int index = 0; index < RECORDS_PER_TAB; index++)
        {
            const int number = tabIndex * RECORDS_PER_TAB + index;
            const QString& service = services[number % services.size()];
            PasswordRecord record;
            record.name = QStringLiteral("%1 account %2").arg(service).arg(number, 4, 10, QLatin1Char('0'));
            record.login = QStringLiteral("firstname.lastname%1@mailbox.example").arg(number);
            record.password = QStringLiteral("T7#kq%1Lm!v9Xp2").arg(number * 7919);
            record.url =
                QStringLiteral("https://www.%1-%2.example.com/login").arg(service.toLower()).arg(number);
            if (number % 4 == 0)
                record.note =
                    QStringLiteral("Security question: name of the first school. Changed in spring.");
            tab.passwords.append(record);
        }
        vault.append(tab);
    }
    return vault;
}

FormContentEditor* _createEditor_helper()
{
    auto* window = new FormContentEditor();
    mainWindow = window;
    window->resize(1600, 1000);
    window->show();
    window->switchView(VIEW_ID_CONTENT_EDITOR);
    window->clearViewStack();
    QCoreApplication::processEvents();
    return window;
}

// A decrypted memory image turning into visible tabs, up to the first paint.
void BM_ShowVaultFromImage(benchmark::State& state)
{
    std::vector<uint8_t> image(MEMORY_IMAGE_SIZE, 0);
    // Without its input the benchmark would measure nothing.
    if (serializeVault(_makeVault_helper(), image.data()) < 0)
        std::abort();
    FormContentEditor* window = _createEditor_helper();
    for (auto _ : state)
    {
        window->parseVault(image.data());
        window->updateWidgetsState();
        window->repaint();
        QCoreApplication::processEvents();
        state.PauseTiming();
        window->setVault(Vault());
        QCoreApplication::processEvents();
        state.ResumeTiming();
    }
    delete window;
    state.SetItemsProcessed(state.iterations() * TAB_COUNT * RECORDS_PER_TAB);
}
BENCHMARK(BM_ShowVaultFromImage)->Unit(benchmark::kMillisecond);

// "Next" with "Search in all tabs" for a text that is nowhere: every cell of every tab is examined.
void BM_SearchAllTabsWithoutMatch(benchmark::State& state)
{
    FormContentEditor* window = _createEditor_helper();
    window->setVault(_makeVault_helper());
    window->updateWidgetsState();
    QCoreApplication::processEvents();

    auto* searchField = window->findChild<QLineEdit*>(QStringLiteral("lineEditSearch"));
    auto* allTabs = window->findChild<QCheckBox*>(QStringLiteral("checkBoxSearchInAllTabs"));
    auto* next = window->findChild<QPushButton*>(QStringLiteral("pushButtonNextSearchResult"));
    ViewBase* messagePage = window->view(VIEW_ID_MESSAGE_BOX_DIALOG);
    auto* ok = messagePage->findChild<QPushButton*>(QStringLiteral("pushButtonOk"));
    searchField->setText(QStringLiteral("no such text anywhere"));
    Q_EMIT searchField->textEdited(searchField->text());
    allTabs->setChecked(true);
    if (!next->isEnabled())
    {
        state.SkipWithError("the search row is not enabled");
        delete window;
        return;
    }

    for (auto _ : state)
    {
        next->click();
        state.PauseTiming();
        // "No matching text was found." arrives as a page on the next turn of the event loop; without it
        // the search did not run to its end and the figure would mean nothing.
        QCoreApplication::processEvents();
        if (window->currentViewId() != VIEW_ID_MESSAGE_BOX_DIALOG)
        {
            state.SkipWithError("the search did not report that nothing was found");
            break;
        }
        ok->click();
        state.ResumeTiming();
    }
    delete window;
    state.SetItemsProcessed(state.iterations() * TAB_COUNT * RECORDS_PER_TAB * 4);
}
BENCHMARK(BM_SearchAllTabsWithoutMatch)->Unit(benchmark::kMillisecond);

// The refresh after every selection change, including the fill level that encodes the whole vault.
void BM_UpdateWidgetsState(benchmark::State& state)
{
    FormContentEditor* window = _createEditor_helper();
    window->setVault(_makeVault_helper());
    QCoreApplication::processEvents();
    for (auto _ : state)
        window->updateWidgetsState();
    delete window;
}
BENCHMARK(BM_UpdateWidgetsState)->Unit(benchmark::kMicrosecond);
} // namespace
