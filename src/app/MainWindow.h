#pragma once

#include "AddinHeader.h"
#include "AddinImage.h"
#include "FileCommands.h"

#include <QMainWindow>
#include <QPointer>

class DumpFiles;
class DumpView;
class HeaderArea;
class HeaderBox;
class IconCodeWindow;
class Prompts;
class QAction;
class StatusPanels;

// The main window "main": the header area, the dump view and the status bar, the File and
// Help menus, and all of the program's state.
class MainWindow : public QMainWindow {
    Q_OBJECT

public:
    MainWindow(Prompts& prompts, DumpFiles& dumpFiles, QWidget* parent = nullptr);
    ~MainWindow() override;

    // Renders the dump of the image, re-parsing the header first.
    void FillScr();
    // Writes the address column: addresses from Astart to Aend in steps of Astep.
    void FillAds(int Astart, int Aend, int Astep);
    // Opens `path` as if it had been chosen in the open dialog.
    void openFile(const QString& path);

    const AddinImage& image() const { return m_image; }
    bool isPatched() const { return m_patched; }
    int headSize() const { return m_headSize; }
    int nameStart() const { return m_nameStart; }
    int descStart() const { return m_descStart; }
    QString addinType() const { return m_addinType; }
    HeaderArea* headerArea() const { return m_header; }
    DumpView* dumpView() const { return m_dump; }
    StatusPanels* statusPanels() const { return m_status; }
    IconCodeWindow* iconCodeWindow() const;
    QAction* action(const QString& name) const;

public slots:
    void mnuFileOpen_Click();
    void mnuFileSave_Click();
    void mnuFileSaveAs_Click();
    void mnuFileProperties_Click();
    void mnuFileExit_Click();
    void mnuHelpAbout_Click();
    void chkCode_Click();
    void Picture1_DblClick();

protected:
    void closeEvent(QCloseEvent* event) override;
    void dragEnterEvent(QDragEnterEvent* event) override;
    void dropEvent(QDropEvent* event) override;

private:
    void createMenus();
    void layOut();
    void connectHeader();
    void loaded(std::optional<AddinImage> image);
    void renderOnce();
    void showHeader(const AddinHeader& header);
    void tell(const QString& text);

    void fieldGotFocus(HeaderBox* box);
    void fieldDoubleClicked(HeaderBox* box);
    void fieldLostFocus(HeaderBox* box, int fieldStart);
    void numberClicked(HeaderBox* box);
    void unloadIconCode();

    Prompts& m_prompts;
    DumpFiles& m_dumpFiles;
    FileCommands m_commands;

    HeaderArea* m_header;
    DumpView* m_dump;
    StatusPanels* m_status;
    QPointer<IconCodeWindow> m_iconCode;

    // The add-in image with its path and size (AddinData, AddinFile, FileSize).
    AddinImage m_image;
    bool m_patched = false;
    int m_headSize = 0;
    int m_nameStart = 0;
    int m_descStart = 0;
    QString m_addinType;
    QString m_oldText;
    bool m_rendering = false;
    bool m_renderAgain = false;
};
