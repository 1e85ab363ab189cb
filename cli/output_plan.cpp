#include "cli/output_plan.h"

#include "text/file_kind.h"

#include <QDir>
#include <QFileInfo>

#include <algorithm>

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
        return targets;
    }
    if (!options.output.isEmpty() && !toFolder) {
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

    // Never write over a picture, nor twice to one file: by path, and for
    // files that exist by what they are on the disk, so a symlink or a
    // second name leads nowhere else.
    QStringList written;
    for (const OutputTarget &target : std::as_const(targets)) {
        const QString path = QFileInfo(target.file).absoluteFilePath();
        if (std::any_of(options.inputs.begin(), options.inputs.end(),
                        [&](const QString &input) { return namesOneFile(input, target.file); })) {
            *error = QStringLiteral("%1 would overwrite a picture").arg(target.file);
            return {};
        }
        if (std::any_of(written.begin(), written.end(),
                        [&](const QString &other) { return namesOneFile(other, target.file); })) {
            *error = QStringLiteral("two pictures would both be written to %1").arg(target.file);
            return {};
        }
        written.append(path);
    }
    return targets;
}
