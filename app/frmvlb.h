#pragma once

#include "app/appcontext.h"
#include "rotation/rotation.h"

#include <QMainWindow>
#include <QPointer>

#include <array>
#include <memory>
#include <optional>

class QButtonGroup;
class QGroupBox;
class QLineEdit;
class QMenu;
class QPushButton;
class QRadioButton;
class QLabel;
class QTimer;

namespace velumbra {

class BmpConverter;
class DriveList;
class FileList;
class FolderList;
class OutlineShape;
class ReleaseLabel;
class frmAbout;
enum class ConversionScope;

/// The main window: browsing, preview, the choice of mode and interval.
class FrmVLB : public QMainWindow, private RotationView
{
    Q_OBJECT
public:
    explicit FrmVLB(AppContext context, QWidget *parent = nullptr);
    ~FrmVLB() override;

    /// Restores the previous run's state and measures the screen; call once
    /// before the window is first shown. A step that fails is skipped.
    void load();

    /// Brings the window forward, shown again if it waits in the tray, and
    /// opens @p folderOrFile there when it is not empty: a folder in the
    /// lists, a file as the current file with its preview.
    void openAndShow(const QString &folderOrFile);

    /// Validates the interval box against the selected unit and computes
    /// IntervalleRotation.
    void TestIntervalle();

    /// Rebuilds the preview and the info line from FichierPapierPeint.
    void ChargeImage();

    /// Keeps the screen saver from starting until the user logs off.
    void DesactiveScreenSaver();

    [[nodiscard]] QString fichierPapierPeint() const { return FichierPapierPeint; }
    [[nodiscard]] std::optional<double> intervalleRotation() const { return IntervalleRotation; }
    [[nodiscard]] int largeurEcran() const { return LargeurEcran; }
    [[nodiscard]] int hauteurEcran() const { return HauteurEcran; }
    [[nodiscard]] bool clicDroit() const { return ClicDroit; }
    [[nodiscard]] const Rotation &rotation() const { return m_rotation; }

    /// The exit code the program ends with: 0, or 1 when the settings could not be saved.
    [[nodiscard]] int exitCode() const { return m_exitCode; }

protected:
    void closeEvent(QCloseEvent *event) override;
    void keyPressEvent(QKeyEvent *event) override;
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void createBrowser(QWidget *client);
    void createPreview(QWidget *client);
    void createChoice(QWidget *client);
    void createButtons(QWidget *client);
    void createMenus();
    void createConversions();
    void setTabOrderChain();
    void setAccessibleNames();

    void selectOption1(int index);
    void selectOptUnites(int index);
    void onOption1Click(int index);
    void onOptUnitesClick(int index);
    void onDrive1Change(const QString &drive);
    void onDir1Change(const QString &path);
    void onFile1Click();
    void reportFolderProblem(const QString &message);
    void applyPattern();
    void applyPreset(const QString &pattern);
    void popupAt(QMenu *menu, const QPoint &globalPos);
    void unload();
    void onMnuApropos();
    void onMnuAide();

    void okAction();
    void setWallpaperAndQuit(int mode);
    void startRotation();
    void onCommand1Release(Qt::MouseButton button, bool overButton);
    void onTimer1Tick();
    void onTrayActivated();
    void showFromTray();

    // What the rotation drives.
    [[nodiscard]] std::int64_t fileCount() const override;
    [[nodiscard]] std::string filePath(std::int64_t index) const override;
    void processPendingEvents() override;
    [[nodiscard]] bool isEnding() const override;
    void showCurrentFile(const std::string &path) override;
    void setWallpaperUntilLogoff(const std::string &path) override;
    void convertToBmp(ConversionScope scope);

    [[nodiscard]] int selectedIndex(const QButtonGroup *group) const;

    AppContext m_ctx;
    int m_exitCode = 0;
    bool m_unloaded = false;
    bool m_inTick = false;
    bool m_hiddenInTray = false;
    Rotation m_rotation;
    bool m_loading = false;

    // Controls, under the names the rest of the program knows them by.
    QTimer *Timer1 = nullptr;
    QLabel *Picture1 = nullptr;
    QPushButton *Command2 = nullptr;
    QPushButton *Command1 = nullptr;
    QGroupBox *Frame1 = nullptr;
    QGroupBox *FrameUnites = nullptr;
    std::array<QRadioButton *, 3> OptUnites{};
    QLineEdit *Text2 = nullptr;
    std::array<QRadioButton *, 3> Option1{};
    QLabel *Label2 = nullptr;
    QLineEdit *Text1 = nullptr;
    FileList *File1 = nullptr;
    FolderList *Dir1 = nullptr;
    DriveList *Drive1 = nullptr;
    ReleaseLabel *Label3 = nullptr;
    QLabel *image1 = nullptr;
    QLabel *Label1 = nullptr;
    OutlineShape *Shape1 = nullptr;
    QButtonGroup *m_option1Group = nullptr;
    QButtonGroup *m_optUnitesGroup = nullptr;

    QMenu *Mnu = nullptr;
    QMenu *Mnu_Fichier = nullptr;
    QMenu *Mnu_ConvDossier = nullptr;
    QMenu *Mnu_ConvFichier = nullptr;
    QMenu *Mnu_Voir = nullptr;
    QPointer<frmAbout> m_about; // ownerless, so not deleted with the window by Qt

    // Decodes and writes the conversions' pictures; it holds the last one
    // decoded, which is what Picture1 keeps.
    std::unique_ptr<BmpConverter> m_bmpConverter;

    // Window state shared by the handlers.
    QString FichierPapierPeint;
    int LargeurEcran = 0;
    int HauteurEcran = 0;
    std::optional<double> IntervalleRotation;
    bool ClicDroit = false;
    // ProchainChangement and DernierIndex live in m_rotation.
};

} // namespace velumbra
