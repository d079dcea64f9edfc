// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QDialog>

#include <array>

class QLabel;
class QFrame;
class QPushButton;

namespace velumbra {

struct AboutServices;
class Prompter;

/// The About dialog: title, version, description, the author's site, the
/// distribution notice and the system-information button.
class frmAbout : public QDialog
{
    Q_OBJECT
public:
    frmAbout(AboutServices &services, Prompter &prompter, QWidget *parent = nullptr);
    ~frmAbout() override;

    /// Starts the system's information program, or says that there is none.
    void StartSysInfo();

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void createLabels();
    void createSeparator();
    void createButtons();
    void setAccessibleNames();
    void load();

    AboutServices &m_services;
    Prompter &m_prompter;

    QLabel *picIcon = nullptr;
    QLabel *lblTitle = nullptr;
    QLabel *lblVersion = nullptr;
    QLabel *lblDescription = nullptr;
    QLabel *urlhttp = nullptr;
    std::array<QFrame *, 2> Line1{};
    QLabel *lblDisclaimer = nullptr;
    QPushButton *cmdOK = nullptr;
    QPushButton *cmdSysInfo = nullptr;
};

/// "Version " and the three numbers of a release, as the dialog shows it.
[[nodiscard]] QString versionText(int major, int minor, int patch);

} // namespace velumbra
