#include "cli/output_plan.h"

#include "text/shared_files.h"

#include <QDir>
#include <QFileInfo>

namespace {

QString displayPath(const QString &folder, const QString &name)
{
    if (folder == QLatin1String("."))
        return name;
    return QDir(folder).filePath(name);
}

} // namespace

QList<OutputTarget> planOutputs(const ConvertOptions &options, QString *error)
{
    QList<OutputTarget> targets;
    const bool toFolder = !options.output.isEmpty() && QFileInfo(options.output).isDir();

    if (!options.sendDevice.isEmpty() || (options.output.isEmpty() && !options.suffixGiven)) {
        if (options.inputs.size() > 1) {
            *error = QStringLiteral("several pictures need -o FOLDER or --suffix, for one file each");
            return {};
        }
        targets.append({options.inputs.constFirst(), QString()});
    } else if (!options.output.isEmpty() && !toFolder) {
        if (options.inputs.size() > 1) {
            *error = QStringLiteral("-o %1: not an existing folder, which several pictures need").arg(options.output);
            return {};
        }
        if (options.suffixGiven) {
            *error = QStringLiteral("--suffix names the files in a folder or next to the pictures, but -o %1 "
                                    "names a file")
                         .arg(options.output);
            return {};
        }
        targets.append({options.inputs.constFirst(), options.output});
    } else {
        for (const QString &input : options.inputs) {
            const QFileInfo picture(input);
            const QString name = picture.completeBaseName() + options.suffix;
            targets.append({input, displayPath(toFolder ? options.output : picture.path(), name)});
        }
    }

    // Never write over a picture, nor twice to one file.
    FileGroup written{QStringLiteral("-o"), {}};
    if (toFolder || options.suffixGiven)
        written.label.clear(); // named after the pictures
    for (const OutputTarget &target : std::as_const(targets))
        if (!target.file.isEmpty())
            written.files << target.file;
    QStringList pictures = options.inputs;
    pictures.removeAll(QString()); // --text alone draws on a blank picture
    const QStringList saved = options.savePicture.isEmpty() ? QStringList() : QStringList{options.savePicture};
    *error = sharedFileProblem(
        {{QStringLiteral("a picture"), pictures, false}, written, {QStringLiteral("--save-picture"), saved}});
    return error->isEmpty() ? targets : QList<OutputTarget>();
}
