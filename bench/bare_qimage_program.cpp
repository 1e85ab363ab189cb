// The least a program can do with a picture in Qt: a QCoreApplication, the
// picture read with QImage, a line written. bench_convert_startup holds
// voxcel-convert's start-up against this one.
#include <QCoreApplication>
#include <QImage>

#include <cstdio>

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    const QImage picture(QString::fromLocal8Bit(argc > 1 ? argv[1] : ""));
    std::printf("%d x %d\n", picture.width(), picture.height());
    return picture.isNull() ? 1 : 0;
}
