// The picture viewer "Picture" and the gallery "Art".
//
// The viewer (black, stays on top, maximized at first) shows one picture file, or plays the
// Moon animation of the files "JPG\Moon\00.jpg" .. "24.jpg", one every 200 ms. Not maximized,
// it takes the picture's size (up to the screen's, scrolled beyond) and sits right of the
// gallery when the gallery is open, else in the middle of the screen; maximized, the picture
// is centred. Dragging with a button held moves the picture with the pointer; a right click or
// Esc closes the viewer.
//
// The gallery browses folders by path (the folder tree stands in for drives) and lists their
// "*.jpg" and "*.bmp" files; a click on one shows it in the viewer. No folder is ever made
// current.
#pragma once

#include "shell/Program.h"
#include "ui/Forms.h"

#include <QImage>
#include <QLabel>

#include <filesystem>
#include <string>

class QScrollArea;
class QTreeView;
class QFileSystemModel;
class QListWidget;

namespace qor::interp {

// The picture of the viewer: a label that gives its mouse to the viewer.
class TImage : public ui::WithMouse<QLabel> {
public:
    static constexpr ui::Kind kKind = ui::Kind::Other;
    explicit TImage(QWidget* parent = nullptr);
};

class TPicture : public ui::TForm {
public:
    explicit TPicture(shell::Program& p);

    QScrollArea* ScrollBox;
    TImage* Image1;
    ui::TTimer* Timer2; // the Moon animation, 200 ms

    // Loads a picture file (a program name of the program folder, or a path) into Image1; a
    // file that cannot be read or decoded leaves an empty picture. Then PictureLayout.
    void PictureLoad(const std::string& programName);
    void PictureLoadPath(const std::filesystem::path& path);
    void PictureLayout();

    // Shows the picture the program named (the shell's picture file and caption, or the path
    // the gallery chose).
    void ShowPicture();
    void ShowPicturePath(const std::filesystem::path& path, const std::string& caption);
    // Starts the Moon animation at its first frame.
    void StartMoonMovie();

    bool MoonMovie() const { return moon_; }
    // The frame the animation shows next.
    int Frame() const { return frame_; }
    const QImage& Picture() const { return picture_; }
    // The last file loaded.
    const std::filesystem::path& LoadedPath() const { return loaded_; }

private:
    void NextFrame();

    shell::Program& p_;
    QImage picture_;
    std::filesystem::path loaded_;
    std::filesystem::path chosen_; // a file chosen in the gallery, else empty
    bool moon_ = false;
    int frame_ = 0;
    int lastHeight_ = -1;
    bool lastMaximized_ = false;
    bool dragging_ = false;
    QPoint press_;
};

class TArt : public ui::TForm {
public:
    explicit TArt(shell::Program& p);

    QTreeView* DirectoryListBox1;
    QListWidget* FileListBox1;

    // The folder shown, and its picture files by name.
    const std::filesystem::path& Folder() const { return folder_; }
    void SetFolder(const std::filesystem::path& folder);
    // Shows file `row` of the list in the viewer (made when there is none).
    void FileListBox1DblClick(int row);

private:
    shell::Program& p_;
    QFileSystemModel* model_;
    std::filesystem::path folder_;
    bool idle_ = true; // no choice being shown
};

// Registers the two windows and the Moon animation of the chart menu (Services::MoonMovie).
void RegisterPictureWindows(shell::Program& p);

} // namespace qor::interp
