#include "interp/PictureForms.h"

#include "core/Files.h"
#include "core/Text.h"
#include "interp/Pictures.h"
#include "shell/Tech.h"
#include "ui/QtText.h"

#include <QDir>
#include <QFileSystemModel>
#include <QHeaderView>
#include <QListWidget>
#include <QPixmap>
#include <QScrollArea>
#include <QScrollBar>
#include <QTreeView>

namespace qor::interp {

using namespace ui;

namespace {

constexpr int kFrameMs = 200;
constexpr int kGalleryWidth = 300, kGalleryHeight = 520, kTreeHeight = 300;

QString QPath(const fs::path& p) { return QString::fromStdString(p.string()); }
fs::path FsPath(const QString& p) { return fs::path(p.toStdString()); }

} // namespace

TImage::TImage(QWidget* parent) : WithMouse<QLabel>(parent) {}

// --- The viewer ---------------------------------------------------------------------------------

TPicture::TPicture(shell::Program& p) : TForm("Picture"), p_(p) {
    SetHelpTopic("picture_gallery.html");
    SetToolWindow(true);
    SetColor(kBlack);
    SetBounds(100, 100, 640, 480);
    ScrollBox = new QScrollArea(Client());
    ScrollBox->setFrameShape(QFrame::NoFrame);
    ScrollBox->setStyleSheet("QScrollArea, QScrollArea > QWidget > QWidget { background: black; }");
    ScrollBox->setWidgetResizable(false);
    Image1 = new TImage;
    Register(Image1, Kind::Other, "Image1");
    ScrollBox->setWidget(Image1);
    ScrollBox->show();
    Timer2 = Add<TTimer>("Timer2");
    Timer2->SetInterval(kFrameMs);
    Timer2->OnTimer = [this] { NextFrame(); };

    Image1->OnMouseDown = [this](MouseButton, Shift, int x, int y) {
        press_ = QPoint(x, y);
        dragging_ = true;
    };
    // The picture's point under the pointer stays under it.
    Image1->OnMouseMove = [this](Shift, int x, int y) {
        if (!dragging_) return;
        QScrollBar* h = ScrollBox->horizontalScrollBar();
        QScrollBar* v = ScrollBox->verticalScrollBar();
        h->setValue(h->value() - (x - press_.x()));
        v->setValue(v->value() - (y - press_.y()));
    };
    Image1->OnMouseUp = [this](MouseButton b, Shift, int, int) {
        dragging_ = false;
        if (b == MouseButton::Right) Close();
    };
    OnResize = [this] { ui::SetBounds(ScrollBox, 0, 0, Client()->width(), Client()->height()); };
    // Maximizing centres the picture, restoring sizes the window to it again.
    OnStateChange = [this] {
        const bool maximized = State() == WindowState::Maximized;
        if (maximized == lastMaximized_) return;
        lastMaximized_ = maximized;
        lastHeight_ = -1;
        PictureLayout();
    };
    OnShow = [this] {
        if (chosen_.empty()) ShowPicture();
    };
    OnClose = [this](CloseAction& a) {
        Timer2->SetEnabled(false);
        a = CloseAction::Free;
    };
    lastMaximized_ = true;
    SetWindowState(WindowState::Maximized);
}

void TPicture::ShowPicture() {
    if (moon_) return;
    if (!chosen_.empty()) {
        PictureLoadPath(chosen_);
        return;
    }
    if (p_.Tech) {
        SetCaption(p_.Tech->PictureCaption);
        PictureLoad(p_.Tech->PictureFileName);
    }
}

void TPicture::ShowPicturePath(const fs::path& path, const std::string& caption) {
    moon_ = false;
    Timer2->SetEnabled(false);
    chosen_ = path;
    SetCaption(caption);
    PictureLoadPath(path);
}

void TPicture::StartMoonMovie() {
    moon_ = true;
    chosen_.clear();
    SetCaption(Lang(p_.s, "Лунный месяц"_cp, "The lunar month"));
    frame_ = 0;
    NextFrame();
}

void TPicture::NextFrame() {
    Timer2->SetEnabled(false);
    PictureLoad(MoonFrameName(frame_));
    frame_ = NextMoonFrame(frame_);
    Timer2->SetEnabled(true);
}

void TPicture::PictureLoad(const std::string& programName) {
    PictureLoadPath(programName.empty() ? fs::path() : p_.s.DataPath(programName));
}

void TPicture::PictureLoadPath(const fs::path& path) {
    loaded_ = path;
    picture_ = path.empty() ? QImage() : PictureFromFile(path);
    if (picture_.isNull()) {
        Image1->setPixmap(QPixmap());
        Image1->resize(0, 0);
    } else {
        Image1->setPixmap(QPixmap::fromImage(picture_));
        Image1->resize(picture_.size());
    }
    PictureLayout();
}

void TPicture::PictureLayout() {
    const bool maximized = State() == WindowState::Maximized;
    ScrollBox->setAlignment(maximized ? Qt::AlignCenter : Qt::AlignLeft | Qt::AlignTop);
    if (maximized || picture_.isNull()) return;
    const QRect work = Screen().WorkArea();
    const int frameW = frameGeometry().width() - width();
    const int frameH = frameGeometry().height() - height();
    if (picture_.height() != lastHeight_) {
        lastHeight_ = picture_.height();
        // The window takes the picture's size; a picture larger than the screen is scrolled.
        const int w = std::min(picture_.width(), work.width() - frameW);
        const int h = std::min(picture_.height(), work.height() - frameH);
        const int barW = h < picture_.height() ? ScrollBox->verticalScrollBar()->sizeHint().width() : 0;
        const int barH = w < picture_.width() ? ScrollBox->horizontalScrollBar()->sizeHint().height() : 0;
        resize(std::min(w + barW, work.width() - frameW), std::min(h + barH, work.height() - frameH));
    }
    if (moon_) return;
    if (TForm* art = Screen().FindForm("Art")) {
        move(art->frameGeometry().right() + 1, work.top());
    } else {
        const QRect f = frameGeometry();
        move(work.left() + (work.width() - f.width()) / 2, work.top() + (work.height() - f.height()) / 2);
    }
}

// --- The gallery --------------------------------------------------------------------------------

TArt::TArt(shell::Program& p) : TForm("Art"), p_(p) {
    SetHelpTopic("picture_gallery.html");
    SetCaption(Lang(p.s, "Галерея"_cp, "Art Gallery"));
    SetToolWindow(true);
    SetStoresSettings(true);
    SetKeyPreview(true);
    SetBounds(0, 0, kGalleryWidth, kGalleryHeight);

    model_ = new QFileSystemModel(this);
    model_->setFilter(QDir::AllDirs | QDir::NoDotAndDotDot | QDir::Drives);
    model_->setRootPath(QDir::rootPath());
    DirectoryListBox1 = new QTreeView(Client());
    Register(DirectoryListBox1, Kind::Other, "DirectoryListBox1");
    DirectoryListBox1->setModel(model_);
    for (int c = 1; c < model_->columnCount(); ++c) DirectoryListBox1->hideColumn(c);
    DirectoryListBox1->header()->hide();
    DirectoryListBox1->show();
    FileListBox1 = new QListWidget(Client());
    Register(FileListBox1, Kind::Other, "FileListBox1");
    FileListBox1->show();

    QObject::connect(DirectoryListBox1->selectionModel(), &QItemSelectionModel::currentChanged,
                     this, [this](const QModelIndex& i) {
                         if (i.isValid()) SetFolder(FsPath(model_->filePath(i)));
                     });
    QObject::connect(FileListBox1, &QListWidget::itemClicked, this,
                     [this](QListWidgetItem* item) { FileListBox1DblClick(FileListBox1->row(item)); });
    OnKeyDown = [this](int& key, Shift s) {
        // Esc closes the viewer first, then the gallery.
        if (key != vk::Escape || s != Shift{}) return;
        if (TForm* viewer = Screen().FindForm("Picture")) {
            viewer->Close();
            key = 0;
        }
    };
    OnResize = [this] {
        const int w = Client()->width(), h = Client()->height();
        const int tree = std::min(kTreeHeight, h / 2);
        ui::SetBounds(DirectoryListBox1, 0, 0, w, tree);
        ui::SetBounds(FileListBox1, 0, tree + 4, w, h - tree - 4);
    };
    OnClose = [](CloseAction& a) { a = CloseAction::Free; };

    const fs::path pictures = ResolvePath(p.s.ProgramFolder, "Pictures");
    std::error_code ec;
    SetFolder(fs::is_directory(pictures, ec) ? pictures : p.s.ProgramFolder);
}

void TArt::SetFolder(const fs::path& folder) {
    folder_ = folder;
    const QModelIndex index = model_->index(QPath(folder));
    if (index.isValid() && DirectoryListBox1->currentIndex() != index) {
        DirectoryListBox1->setCurrentIndex(index);
        DirectoryListBox1->scrollTo(index);
        DirectoryListBox1->expand(index);
    }
    FileListBox1->clear();
    QDir dir(QPath(folder));
    const QStringList names =
        dir.entryList({"*.jpg", "*.bmp"}, QDir::Files | QDir::Readable, QDir::Name | QDir::IgnoreCase);
    FileListBox1->addItems(names);
}

void TArt::FileListBox1DblClick(int row) {
    if (!idle_ || row < 0 || row >= FileListBox1->count()) return;
    idle_ = false;
    const QString name = FileListBox1->item(row)->text();
    const fs::path path = folder_ / FsPath(name);
    auto* viewer = dynamic_cast<TPicture*>(Screen().FindForm("Picture"));
    if (!viewer) viewer = dynamic_cast<TPicture*>(Screen().Ensure("Picture"));
    if (viewer) {
        viewer->ShowPicturePath(path, FromQLossy(name));
        viewer->show();
        viewer->raise();
    }
    FileListBox1->setFocus();
    idle_ = true;
}

void RegisterPictureWindows(shell::Program& p) {
    p.FormClasses.Register("Picture", [&p] { return new TPicture(p); });
    p.FormClasses.Register("Art", [&p] { return new TArt(p); });
    // The chart menu's clip of the lunar month.
    p.Svc.MoonMovie = [] {
        auto* viewer = dynamic_cast<TPicture*>(Screen().Ensure("Picture"));
        if (!viewer) return;
        viewer->StartMoonMovie();
        viewer->show();
        viewer->raise();
    };
}

} // namespace qor::interp
