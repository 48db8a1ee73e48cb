#pragma once

#include <QDataStream>
#include <QList>
#include <QString>

// One password record. The field order is fixed: it is the table's column order, the order of the
// fields in the memory image and the order of the CSV layout this application writes.
struct PasswordRecord
{
    enum Field
    {
        FIELD_NAME = 0,
        FIELD_LOGIN = 1,
        FIELD_PASSWORD = 2,
        FIELD_URL = 3,
        FIELD_NOTE = 4,
        FIELD_COUNT = 5
    };

    QString name;
    QString login;
    QString password;
    QString url;
    QString note;

    // Field by index in the fixed order; an index outside 0..4 is a programming error.
    QString& field(int index);
    const QString& field(int index) const;

    // Overwrites every field's characters before releasing them.
    void clear();

    bool operator==(const PasswordRecord& other) const;
    bool operator!=(const PasswordRecord& other) const
    {
        return !(*this == other);
    }
};

// Every field in the fixed order: how a locked window keeps its records in its sealed state.
QDataStream& operator<<(QDataStream& stream, const PasswordRecord& record);
QDataStream& operator>>(QDataStream& stream, PasswordRecord& record);

// Inserts a copy of the record before the first record whose name compares greater,
// case-insensitively; records with an equal name stay before it. Returns the row index.
int addPasswordSorted(QList<PasswordRecord>& passwords, const PasswordRecord& password);

// Removes the record at the index; an index outside 0..count-1 changes nothing. Returns true when removed.
bool removePasswordAt(QList<PasswordRecord>& passwords, int index);
