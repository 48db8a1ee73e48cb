#pragma once

#include <QByteArray>
#include <QClipboard>
#include <QObject>
#include <QPointer>
#include <QString>

class QMimeData;
class QTimer;

// MIME type that asks KDE's clipboard manager (Klipper) and compatible history tools not to keep
// the entry; its value "secret" marks a password.
inline constexpr char SENSITIVE_CLIPBOARD_HINT_MIME_TYPE[] = "x-kde-passwordManagerHint";

// What the application puts on the system clipboard, and the rule that it takes back only what is still its
// own. Two places can hold a secret: the clipboard (filled by a copy) and, on X11, the primary selection
// (filled by merely selecting text in a shown password field, and pasted with a middle click).
// - The clipboard counts as ours while it holds the very data of the last copy: text another program copied
//   afterwards is never touched.
// - The selection counts as ours while this process owns it (the system says so); another program's
//   selection is never touched.
// A copy can be cleared by itself after a delay; the countdown is reported every second.
// The system clipboard is one per process, and so is this object: every copy of a secret (table, record
// page, password fields) goes through instance(), and the main window follows it through the signals.
class SensitiveClipboard : public QObject
{
    Q_OBJECT

public:
    // The one object of the process, created on first use as a child of the application object.
    static SensitiveClipboard* instance();
    ~SensitiveClipboard() override;

    // Puts the text on the clipboard with the clipboard managers' hint; it is "the copied text" until it is
    // cleared or replaced. Starts the countdown when a delay is set.
    void copyText(const QString& text);

    // The delay after which the copied text is cleared; 0 or less: never. Applies to the next copy.
    void setClearingDelaySeconds(int seconds);
    // Seconds before the copied text is cleared, or -1 when no countdown runs.
    int remainingSeconds() const;

    // True while the clipboard or the selection still holds the copied text.
    bool isCopiedTextHeld() const;

    // Empties the clipboard if it still holds the copied text, and the selection if this process owns it;
    // whatever another program put in either stays. Ends the countdown.
    void clear();

    // Empties the selection if this process owns it and it holds exactly the text whose hash is given
    // (see textHash()). For password fields: what a field put there goes when the field is hidden or left.
    static void clearSelectionHolding(const QByteArray& hash);
    // A hash that identifies a text without keeping it.
    static QByteArray textHash(const QString& text);
    // The selection's text when this process owns it, otherwise an empty string (reading another
    // program's selection would ask that program over the display connection).
    static QString ownSelectionText();

Q_SIGNALS:
    // copyText() put a text on the clipboard.
    void textCopied();
    // The seconds left before the copied text is cleared, each second; -1 once the countdown is over (the
    // text was cleared, or is no longer ours).
    void clearingCountdownChanged(int remainingSeconds);
    // The copied text was cleared, by clear() or at the end of the delay.
    void copiedTextCleared();

private Q_SLOTS:
    void _slotTimerCountdownTimeout();
    void _slotClipboardChanged(QClipboard::Mode mode);

private:
    explicit SensitiveClipboard(QObject* parent);

    bool isModeHoldingCopiedText(QClipboard::Mode mode) const;
    void stopCountdown();
    // Clears the modes that still hold the copied text and forgets it.
    void clearCopiedText();

    // The data handed to the clipboard at the last copy; the clipboard owns and deletes it.
    QPointer<QMimeData> copiedMimeData;
    QByteArray copiedTextHash;
    int clearingDelaySeconds = 0;
    int countdownSeconds = -1;
    QTimer* timerCountdown = nullptr;
};
