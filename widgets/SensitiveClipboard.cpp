#include "SensitiveClipboard.h"

#include "SensitiveClipboardHints.h"

#include <QCoreApplication>
#include <QCryptographicHash>
#include <QGuiApplication>
#include <QMimeData>
#include <QTimer>

namespace
{
constexpr int COUNTDOWN_INTERVAL_MILLISECONDS = 1000;

bool _isModeOwned_helper(const QClipboard* clipboard, QClipboard::Mode mode)
{
    switch (mode)
    {
    case QClipboard::Clipboard:
        return clipboard->ownsClipboard();
    case QClipboard::Selection:
        return clipboard->supportsSelection() && clipboard->ownsSelection();
    default:
        return false;
    }
}
} // namespace

SensitiveClipboard* SensitiveClipboard::instance()
{
    // Goes with the application object, like the clipboard it watches.
    static QPointer<SensitiveClipboard> sensitiveClipboard;
    if (!sensitiveClipboard)
        sensitiveClipboard = new SensitiveClipboard(QCoreApplication::instance());
    return sensitiveClipboard;
}

SensitiveClipboard::SensitiveClipboard(QObject* parent) : QObject(parent)
{
    timerCountdown = new QTimer(this);
    timerCountdown->setObjectName(QStringLiteral("timerClipboardCountdown"));
    timerCountdown->setInterval(COUNTDOWN_INTERVAL_MILLISECONDS);
    connect(timerCountdown, &QTimer::timeout, this, &SensitiveClipboard::_slotTimerCountdownTimeout);
    if (QClipboard* clipboard = QGuiApplication::clipboard())
        connect(clipboard, &QClipboard::changed, this, &SensitiveClipboard::_slotClipboardChanged);
}

SensitiveClipboard::~SensitiveClipboard() = default;

QByteArray SensitiveClipboard::textHash(const QString& text)
{
    return QCryptographicHash::hash(text.toUtf8(), QCryptographicHash::Sha256);
}

QString SensitiveClipboard::ownSelectionText()
{
    const QClipboard* clipboard = QGuiApplication::clipboard();
    if (!clipboard || !_isModeOwned_helper(clipboard, QClipboard::Selection))
        return QString();
    return clipboard->text(QClipboard::Selection);
}

void SensitiveClipboard::copyText(const QString& text)
{
    auto* mimeData = new QMimeData;
    mimeData->setText(text);
    addSensitiveClipboardHints(mimeData);
    // Known before the clipboard announces the change, so that the announcement finds it ours.
    copiedMimeData = mimeData;
    copiedTextHash = textHash(text);
    // The clipboard takes ownership of the MIME data.
    QGuiApplication::clipboard()->setMimeData(mimeData, QClipboard::Clipboard);

    stopCountdown();
    if (clearingDelaySeconds > 0)
    {
        countdownSeconds = clearingDelaySeconds;
        timerCountdown->start();
        Q_EMIT clearingCountdownChanged(countdownSeconds);
    }
    Q_EMIT textCopied();
}

void SensitiveClipboard::setClearingDelaySeconds(int seconds)
{
    clearingDelaySeconds = qMax(0, seconds);
}

int SensitiveClipboard::remainingSeconds() const
{
    return countdownSeconds;
}

bool SensitiveClipboard::isModeHoldingCopiedText(QClipboard::Mode mode) const
{
    const QClipboard* clipboard = QGuiApplication::clipboard();
    if (!clipboard || copiedTextHash.isEmpty())
        return false;
    if (mode == QClipboard::Clipboard)
    {
        // Replaced data is deleted by the clipboard, which resets the pointer. Our own data is read without
        // asking another program.
        const QMimeData* data = clipboard->mimeData(QClipboard::Clipboard);
        if (copiedMimeData && data == copiedMimeData)
            return textHash(copiedMimeData->text()) == copiedTextHash;
        // A clipboard manager takes the copy over by copying the very text again: still the secret, still
        // ours to clear.
        return data && data->hasText() && textHash(data->text()) == copiedTextHash;
    }
    const QString selectionText = ownSelectionText();
    return !selectionText.isEmpty() && textHash(selectionText) == copiedTextHash;
}

bool SensitiveClipboard::isCopiedTextHeld() const
{
    return isModeHoldingCopiedText(QClipboard::Clipboard) || isModeHoldingCopiedText(QClipboard::Selection);
}

void SensitiveClipboard::clearCopiedText()
{
    QClipboard* clipboard = QGuiApplication::clipboard();
    for (const QClipboard::Mode mode : {QClipboard::Clipboard, QClipboard::Selection})
    {
        if (clipboard && isModeHoldingCopiedText(mode))
            clipboard->clear(mode);
    }
    copiedMimeData = nullptr;
    copiedTextHash.clear();
}

void SensitiveClipboard::clear()
{
    stopCountdown();
    clearCopiedText();
    // Anything selected in this window may be a password shown for a moment: the selection is only a
    // convenience, so all of ours goes.
    QClipboard* clipboard = QGuiApplication::clipboard();
    if (clipboard && _isModeOwned_helper(clipboard, QClipboard::Selection))
        clipboard->clear(QClipboard::Selection);
    Q_EMIT copiedTextCleared();
}

void SensitiveClipboard::clearSelectionHolding(const QByteArray& hash)
{
    const QString selectionText = ownSelectionText();
    if (hash.isEmpty() || selectionText.isEmpty() || textHash(selectionText) != hash)
        return;
    QGuiApplication::clipboard()->clear(QClipboard::Selection);
}

void SensitiveClipboard::stopCountdown()
{
    if (countdownSeconds < 0 && !timerCountdown->isActive())
        return;
    timerCountdown->stop();
    countdownSeconds = -1;
    Q_EMIT clearingCountdownChanged(-1);
}

void SensitiveClipboard::_slotTimerCountdownTimeout()
{
    if (countdownSeconds > 1)
    {
        countdownSeconds--;
        Q_EMIT clearingCountdownChanged(countdownSeconds);
        return;
    }
    stopCountdown();
    clearCopiedText();
    Q_EMIT copiedTextCleared();
}

void SensitiveClipboard::_slotClipboardChanged(QClipboard::Mode mode)
{
    Q_UNUSED(mode)
    // Another program copied over ours: there is nothing left to clear, so no countdown either.
    if (countdownSeconds >= 0 && !isCopiedTextHeld())
        stopCountdown();
}
