#pragma once

#include <QDialog>
#include <QPointer>
#include <QString>
#include <QStringList>

#include <functional>

class Prompts;
class QKeyEvent;
class QLabel;
class QPushButton;

inline constexpr QLatin1String sysInfoUnavailableText("System Information Is Unavailable At This Time");

// Where a system-information program is looked for outside Windows, in order.
QStringList systemInfoCandidates();

// The first of the candidates that findExecutable resolves to a path (as
// QStandardPaths::findExecutable does: a full path, or empty when not found);
// empty when none is found.
QString findSystemInfoProgram(const QStringList &candidates,
                              const std::function<QString(const QString &)> &findExecutable);

// The About box: title, version, notices and the System Info button.
// It never blocks the main window; showSingle keeps it to one instance.
class AboutBox : public QDialog
{
    Q_OBJECT

public:
    // Returns the full path of the system-information program, or empty.
    using ProgramFinder = std::function<QString()>;
    // Starts the program at a path; false when it could not be started.
    using ProgramStarter = std::function<bool(const QString &)>;

    explicit AboutBox(Prompts &prompts, QWidget *parent = nullptr);

    // Creates the box (running its load step) if it does not exist, else
    // brings the shown one to the front without loading it again.
    static AboutBox *showSingle(QWidget *parent, Prompts &prompts);

    void loadStartValues();
    void startSystemInfo();

    // The look-up and the start go through these, so the button can be
    // exercised without touching the system.
    void setProgramFinder(ProgramFinder finder) { finder_ = std::move(finder); }
    void setProgramStarter(ProgramStarter starter) { starter_ = std::move(starter); }

    // The platform's look-up: the registry on Windows, the PATH elsewhere.
    static QString findProgramOnThisSystem();

protected:
    void keyPressEvent(QKeyEvent *event) override;

private:
    Prompts &prompts_;
    ProgramFinder finder_;
    ProgramStarter starter_;

    QLabel *titleLabel;
    QLabel *versionLabel;
    QPushButton *okButton;
    QPushButton *systemInfoButton;

    static QPointer<AboutBox> instance_;
};
