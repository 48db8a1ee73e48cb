#pragma once

#include <QSaveFile>
#include <QString>
#include <QtGlobal>

// Writes one file that holds secrets (a decrypted CSV export, an encrypted image) so that a failure never
// costs data: the bytes go to a temporary file of mode 0600 in the same folder, which replaces the file by
// a rename only once every write, the flush and the sync succeeded. A failure leaves the previous file as
// it was and no partial file behind. A symbolic link, a FIFO or any other non-regular file is never
// written through, and an existing file is replaced only when that was allowed. On Windows the temporary
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

    bool open(bool isReplacingAllowed);
    bool write(const char* data, qint64 size);
    bool write(const QByteArray& bytes);
    // Makes the new content the file's content; after a failed write it only discards the temporary file.
    bool commit();

    // Why the last step failed, in a sentence part without the file name ("the file already exists").
    QString errorMessage() const;
    // True when open() refused only because the file exists (callers may offer to replace it).
    bool isRefusedAsExisting() const;

private:
    bool _fail(const QString& errorMessage);

    QString _filePath;
#ifdef Q_OS_WIN
    void* _temporaryHandle = nullptr;
    QString _temporaryPath;
#else
    QSaveFile _file;
#endif
    QString _errorMessage;
    bool _isFailed = false;
    bool _isRefusedAsExisting = false;
};
