#include "app/file_name_completion.h"

#include <QCompleter>
#include <QDir>
#include <QFileSystemModel>
#include <QLineEdit>

namespace {
// Relative names are completed in the current folder, where the program
// reads and writes them, and stay relative.
class FileNameCompleter : public QCompleter
{
public:
    using QCompleter::QCompleter;

    QStringList splitPath(const QString &path) const override
    {
        return QCompleter::splitPath(isRelative(path) ? QDir::current().absoluteFilePath(path) : path);
    }

    QString pathFromIndex(const QModelIndex &index) const override
    {
        const QString path = QCompleter::pathFromIndex(index);
        return isRelative(completionPrefix()) ? QDir::current().relativeFilePath(path) : path;
    }

private:
    static bool isRelative(const QString &path) { return !path.isEmpty() && QDir::isRelativePath(path); }
};
} // namespace

void completeFileNames(QLineEdit *edit)
{
    auto *completer = new FileNameCompleter(edit);
    auto *files = new QFileSystemModel(completer);
    files->setOption(QFileSystemModel::DontWatchForChanges); // the box is open for moments
    files->setRootPath(QString());
    completer->setModel(files);
#ifdef Q_OS_WIN
    completer->setCaseSensitivity(Qt::CaseInsensitive);
#else
    completer->setCaseSensitivity(Qt::CaseSensitive);
#endif
    edit->setCompleter(completer);
}
