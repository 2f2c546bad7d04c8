// The pictures: JPEG decoding against djpeg of libjpeg-turbo-progs pixel for pixel (pictures
// made by cjpeg here, and every JPEG the program ships), damaged files giving an empty
// picture, BMP through Qt; the viewer's Moon animation, its layout and dragging; the gallery.
#include "InterpWindowFixture.h"

#include "core/Files.h"
#include "core/Text.h"
#include "interp/PictureForms.h"
#include "interp/Pictures.h"

#include <QKeyEvent>
#include <QScrollArea>
#include <QScrollBar>
#include <QListWidget>
#include <QMouseEvent>

#include <sstream>

namespace qor::interp {
namespace {

// A PPM (P6) or PGM (P5) file's pixels as RGB32; a null image when it is neither.
QImage ReadNetpbm(const std::string& bytes) {
    std::istringstream in(bytes);
    std::string magic;
    int w = 0, h = 0, max = 0;
    in >> magic >> w >> h >> max;
    in.get();
    const bool colour = magic == "P6";
    if ((!colour && magic != "P5") || max != 255 || w <= 0 || h <= 0) return {};
    QImage img(w, h, QImage::Format_RGB32);
    std::string px(static_cast<std::size_t>(w) * h * (colour ? 3 : 1), '\0');
    in.read(px.data(), static_cast<std::streamsize>(px.size()));
    const auto at = [&](std::size_t i) { return static_cast<unsigned char>(px[i]); };
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) {
            const std::size_t i = static_cast<std::size_t>(y) * w + x;
            img.setPixel(x, y, colour ? qRgb(at(3 * i), at(3 * i + 1), at(3 * i + 2))
                                      : qRgb(at(i), at(i), at(i)));
        }
    return img;
}

QImage Djpeg(const fs::path& jpeg) {
    int status = 0;
    const std::string out = test::Shell("djpeg '" + jpeg.string() + "'", &status);
    EXPECT_EQ(status, 0) << "djpeg " << jpeg;
    return ReadNetpbm(out);
}

// A test picture: colour gradients and sharp edges, which show any difference of the
// transform or the chroma upsampling.
std::string TestPpm(int w, int h) {
    std::string s = "P6\n" + std::to_string(w) + " " + std::to_string(h) + "\n255\n";
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) {
            const bool edge = ((x / 7) + (y / 5)) % 2 == 0;
            s += static_cast<char>((x * 255) / std::max(1, w - 1));
            s += static_cast<char>(edge ? 230 : 20);
            s += static_cast<char>((y * 255) / std::max(1, h - 1));
        }
    return s;
}

// A JPEG made by cjpeg with the options given.
fs::path MakeJpeg(test::TempDir& d, const std::string& name, const std::string& options, int w = 67,
                  int h = 45) {
    const fs::path ppm = d.Write(name + ".ppm", TestPpm(w, h));
    const fs::path jpg = d / (name + ".jpg");
    int status = 0;
    test::Shell("cjpeg " + options + " -outfile '" + jpg.string() + "' '" + ppm.string() + "'", &status);
    EXPECT_EQ(status, 0) << "cjpeg " << options;
    return jpg;
}

TEST(JpegDecoding, EqualsDjpegPixelForPixel) {
    test::TempDir d;
    struct Case {
        const char* name;
        const char* options;
    };
    for (const Case c : {Case{"plain", "-quality 75"}, Case{"fine", "-quality 95 -sample 1x1"},
                         Case{"wide", "-quality 60 -sample 2x1"}, Case{"progressive", "-progressive"},
                         Case{"grey", "-grayscale"}, Case{"restart", "-restart 1 -optimize"}}) {
        const fs::path jpg = MakeJpeg(d, c.name, c.options);
        const QImage expected = Djpeg(jpg);
        const QImage got = PictureFromFile(jpg);
        ASSERT_FALSE(got.isNull()) << c.name;
        EXPECT_EQ(got.size(), QSize(67, 45)) << c.name;
        EXPECT_EQ(got.convertToFormat(QImage::Format_RGB32), expected) << c.name;
    }
}

TEST(JpegDecoding, EveryShippedJpegEqualsDjpeg) {
    const fs::path data = fs::path(QOR_SOURCE_DIR) / "data";
    int count = 0;
    for (const auto& e : fs::recursive_directory_iterator(data)) {
        std::string ext = e.path().extension().string();
        for (char& ch : ext) ch = static_cast<char>(std::tolower(static_cast<unsigned char>(ch)));
        if (!e.is_regular_file() || (ext != ".jpg" && ext != ".jpeg")) continue;
        ++count;
        const QImage got = PictureFromFile(e.path());
        ASSERT_FALSE(got.isNull()) << e.path();
        EXPECT_EQ(got, Djpeg(e.path())) << e.path();
    }
    std::cout << count << " shipped JPEG files compared\n";
}

TEST(JpegDecoding, DamagedFilesGiveAnEmptyPicture) {
    test::TempDir d;
    const std::string good = test::TempDir::Read(MakeJpeg(d, "good", "-quality 80", 160, 120));
    ASSERT_FALSE(DecodeJpeg(good).isNull());
    struct Case {
        const char* what;
        std::string bytes;
    };
    // A header that claims 65500 x 65500 pixels (SOF0: length, precision, height, width).
    std::string huge = good;
    const std::size_t sof = huge.find("\xFF\xC0");
    ASSERT_NE(sof, std::string::npos);
    for (std::size_t at : {sof + 5, sof + 7}) {
        huge[at] = static_cast<char>(0xFF);
        huge[at + 1] = static_cast<char>(0xDC);
    }
    std::string corrupt = good;
    for (std::size_t i = 2; i < 200 && i < corrupt.size(); ++i) corrupt[i] = static_cast<char>(0xA5);
    for (const Case& c : {Case{"truncated in the data", good.substr(0, good.size() / 2)},
                          Case{"truncated in the header", good.substr(0, 40)},
                          Case{"only the start marker", good.substr(0, 2)},
                          Case{"corrupt header", corrupt}, Case{"not a JPEG", std::string(500, 'x')},
                          Case{"a header far too large", huge},
                          Case{"empty", ""}}) {
        EXPECT_TRUE(DecodeJpeg(c.bytes).isNull()) << c.what;
        const fs::path f = d.Write(std::string("bad-") + std::to_string(c.bytes.size()) + ".jpg", c.bytes);
        EXPECT_TRUE(PictureFromFile(f).isNull()) << c.what;
    }
    EXPECT_TRUE(PictureFromFile(d / "missing.jpg").isNull());
    // A JPEG by another name is no BMP; a BMP is read through Qt.
    const fs::path disguised = d.Write("picture.bmp", good);
    EXPECT_TRUE(PictureFromFile(disguised).isNull());
    QImage bmp(5, 3, QImage::Format_RGB32);
    bmp.fill(qRgb(10, 200, 30));
    bmp.setPixel(4, 2, qRgb(255, 0, 0));
    ASSERT_TRUE(bmp.save(QString::fromStdString((d / "small.BMP").string()), "BMP"));
    EXPECT_EQ(PictureFromFile(d / "small.BMP"), bmp);
}

TEST(MoonFrames, NamesAndCycle) {
    EXPECT_EQ(MoonFrameName(0), "JPG\\Moon\\00.jpg");
    EXPECT_EQ(MoonFrameName(7), "JPG\\Moon\\07.jpg");
    EXPECT_EQ(MoonFrameName(24), "JPG\\Moon\\24.jpg");
    EXPECT_EQ(NextMoonFrame(23), 24);
    EXPECT_EQ(NextMoonFrame(24), 0);
}

// --- The windows ------------------------------------------------------------------------------

class PictureWindowTest : public InterpWindowTest {
protected:
    void SetUp() override {
        InterpWindowTest::SetUp();
        ui::Screen().SetSize(1280, 1024);
    }
    void TearDown() override {
        InterpWindowTest::TearDown();
        ui::Screen().SetSize(0, 0);
    }
    std::string Jpeg(int w, int h) {
        test::TempDir d;
        return test::TempDir::Read(MakeJpeg(d, "p", "-quality 90", w, h));
    }
    static void Flush() { QApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete); }
};

TEST_F(PictureWindowTest, MoonAnimationCyclesAndStepsOverAMissingFrame) {
    const std::string frame = Jpeg(40, 30);
    for (int i = 0; i < 25; ++i)
        if (i != 5) dir.Write(Cp1251ToUtf8(MoonFrameName(i)).replace(3, 1, "/").replace(8, 1, "/"), frame);
    ASSERT_TRUE(P().Svc.MoonMovie);
    P().Svc.MoonMovie();
    auto* w = dynamic_cast<TPicture*>(ui::Screen().FindForm("Picture"));
    ASSERT_TRUE(w);
    EXPECT_TRUE(w->MoonMovie());
    EXPECT_TRUE(w->Timer2->Enabled());
    EXPECT_EQ(w->Timer2->Interval(), 200);
    std::vector<std::string> shown;
    std::vector<bool> empty;
    const auto record = [&] {
        shown.push_back(w->LoadedPath().filename().string());
        empty.push_back(w->Picture().isNull());
    };
    record(); // the first frame shows at once
    for (int i = 0; i < 26; ++i) {
        w->Timer2->OnTimer();
        record();
    }
    ASSERT_EQ(shown.size(), 27u);
    for (int i = 0; i < 27; ++i) {
        char name[8];
        std::snprintf(name, sizeof name, "%02d.jpg", i % 25);
        EXPECT_EQ(shown[static_cast<std::size_t>(i)], name);
        EXPECT_EQ(empty[static_cast<std::size_t>(i)], i % 25 == 5) << name;
    }
    EXPECT_TRUE(w->Timer2->Enabled());
    // Esc stops it and closes the viewer.
    QKeyEvent esc(QEvent::KeyPress, Qt::Key_Escape, Qt::NoModifier);
    QApplication::sendEvent(w, &esc);
    Flush();
    EXPECT_EQ(ui::Screen().FindForm("Picture"), nullptr);
}

TEST_F(PictureWindowTest, LayoutFollowsTheWindowState) {
    dir.Write("Pictures/big.jpg", Jpeg(300, 200));
    auto* w = ui::Screen().Ensure<TPicture>("Picture");
    ASSERT_TRUE(w);
    w->PictureLoadPath(dir / "Pictures" / "big.jpg");
    w->show();
    // Maximized at first: the picture in the middle.
    EXPECT_EQ(w->State(), ui::WindowState::Maximized);
    EXPECT_EQ(w->ScrollBox->alignment(), Qt::AlignCenter);
    // Restored: the window takes the picture's size, the picture at its corner, the window in
    // the middle of the screen, or right of the gallery when that is open.
    w->SetWindowState(ui::WindowState::Normal);
    QApplication::processEvents();
    EXPECT_EQ(w->ScrollBox->alignment(), Qt::AlignLeft | Qt::AlignTop);
    EXPECT_EQ(w->Client()->size(), QSize(300, 200));
    const QRect work = ui::Screen().WorkArea();
    EXPECT_NEAR(w->frameGeometry().center().x(), work.center().x(), 2);
    auto* art = ui::Screen().Ensure<TArt>("Art");
    ASSERT_TRUE(art);
    art->show();
    w->PictureLoadPath(dir / "Pictures" / "big.jpg");
    EXPECT_EQ(w->frameGeometry().left(), art->frameGeometry().right() + 1);
    EXPECT_EQ(w->frameGeometry().top(), work.top());
    // A right click closes it.
    QMouseEvent press(QEvent::MouseButtonPress, QPointF(5, 5), QPointF(5, 5), Qt::RightButton,
                      Qt::RightButton, Qt::NoModifier);
    QMouseEvent release(QEvent::MouseButtonRelease, QPointF(5, 5), QPointF(5, 5), Qt::RightButton,
                        Qt::NoButton, Qt::NoModifier);
    QApplication::sendEvent(w->Image1, &press);
    QApplication::sendEvent(w->Image1, &release);
    Flush();
    EXPECT_EQ(ui::Screen().FindForm("Picture"), nullptr);
}

TEST_F(PictureWindowTest, DraggingMovesThePictureWithThePointer) {
    dir.Write("huge.jpg", Jpeg(1600, 1400));
    auto* w = ui::Screen().Ensure<TPicture>("Picture");
    w->SetWindowState(ui::WindowState::Normal);
    w->PictureLoadPath(dir / "huge.jpg");
    w->show();
    QApplication::processEvents();
    QScrollBar* h = w->ScrollBox->horizontalScrollBar();
    QScrollBar* v = w->ScrollBox->verticalScrollBar();
    ASSERT_GT(h->maximum(), 100);
    ASSERT_GT(v->maximum(), 100);
    h->setValue(100);
    v->setValue(100);
    const auto send = [&](QEvent::Type type, QPointF at, Qt::MouseButtons held) {
        QMouseEvent e(type, at, w->Image1->mapToGlobal(at), Qt::LeftButton, held, Qt::NoModifier);
        QApplication::sendEvent(w->Image1, &e);
    };
    send(QEvent::MouseButtonPress, QPointF(400, 400), Qt::LeftButton);
    // The pointer 30 right and 20 down: the picture follows, 30 and 20 less scrolled.
    send(QEvent::MouseMove, QPointF(430, 420), Qt::LeftButton);
    EXPECT_EQ(h->value(), 70);
    EXPECT_EQ(v->value(), 80);
    send(QEvent::MouseButtonRelease, QPointF(400, 400), Qt::NoButton);
    send(QEvent::MouseMove, QPointF(300, 300), Qt::NoButton);
    EXPECT_EQ(h->value(), 70);
    w->Close();
    Flush();
}

TEST_F(PictureWindowTest, GalleryListsPicturesAndShowsTheChosenOne) {
    const fs::path before = fs::current_path();
    dir.Write("Pictures/b.jpg", Jpeg(50, 40));
    dir.Write("Pictures/a.BMP", "not really a picture");
    dir.Write("Pictures/notes.txt", "no picture");
    dir.Write("Pictures/Sub/c.jpg", Jpeg(20, 20));
    auto* art = ui::Screen().Ensure<TArt>("Art");
    ASSERT_TRUE(art);
    art->show();
    EXPECT_EQ(art->Caption(), Cp("Галерея"));
    EXPECT_EQ(art->Folder(), dir / "Pictures");
    ASSERT_EQ(art->FileListBox1->count(), 2);
    EXPECT_EQ(art->FileListBox1->item(0)->text().toStdString(), "a.BMP");
    EXPECT_EQ(art->FileListBox1->item(1)->text().toStdString(), "b.jpg");
    // A picture that does not decode shows empty; the next choice shows its picture.
    art->FileListBox1DblClick(0);
    auto* viewer = dynamic_cast<TPicture*>(ui::Screen().FindForm("Picture"));
    ASSERT_TRUE(viewer);
    EXPECT_TRUE(viewer->Picture().isNull());
    art->FileListBox1DblClick(1);
    EXPECT_EQ(viewer->Caption(), "b.jpg");
    EXPECT_EQ(viewer->Picture().size(), QSize(50, 40));
    art->SetFolder(dir / "Pictures" / "Sub");
    ASSERT_EQ(art->FileListBox1->count(), 1);
    art->FileListBox1DblClick(0);
    EXPECT_EQ(viewer->LoadedPath(), dir / "Pictures" / "Sub" / "c.jpg");
    // Esc closes the viewer first, then the gallery; no folder was made current.
    QKeyEvent esc(QEvent::KeyPress, Qt::Key_Escape, Qt::NoModifier);
    QApplication::sendEvent(art->FileListBox1, &esc);
    Flush();
    EXPECT_EQ(ui::Screen().FindForm("Picture"), nullptr);
    ASSERT_NE(ui::Screen().FindForm("Art"), nullptr);
    QKeyEvent esc2(QEvent::KeyPress, Qt::Key_Escape, Qt::NoModifier);
    QApplication::sendEvent(art->FileListBox1, &esc2);
    Flush();
    EXPECT_EQ(ui::Screen().FindForm("Art"), nullptr);
    EXPECT_EQ(fs::current_path(), before);
}

TEST_F(PictureWindowTest, EnglishCaptions) {
    Make(true);
    auto* art = ui::Screen().Ensure<TArt>("Art");
    auto* viewer = ui::Screen().Ensure<TPicture>("Picture");
    EXPECT_EQ(art->Caption(), "Art Gallery");
    std::vector<std::string> lines;
    ASSERT_TRUE(ReadTextLines(dir / "English.txt", lines).ok());
    EXPECT_EQ(ui::EnglishCoverageProblems({art, viewer}, lines, true), std::vector<std::string>{});
}

} // namespace
} // namespace qor::interp
