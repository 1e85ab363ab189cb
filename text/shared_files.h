#pragma once

#include <QList>
#include <QString>
#include <QStringList>

// The files one option of a program stands for: one file, or every
// numbered name of a series.
struct FileGroup
{
    QString label; // how a message names it: "-o", "--save-picture", "a picture"
    QStringList files;
    bool written = true; // inputs are only read: two of them may be one file
};

// The file of number `number` for a pattern where %d stands for the number.
QString numberedFile(const QString &pattern, int number);
// Every numbered name of the pattern, from 1 to count; none for an empty
// pattern (no such option).
QStringList numberedFiles(const QString &pattern, int count);

// Two of the files that are one on the disk, at least one of them written,
// however links, second names or series numbers lead there (namesOneFile
// for every pair): the first such pair in words, or nothing when every
// written file is a file of its own.
QString sharedFileProblem(const QList<FileGroup> &groups);
