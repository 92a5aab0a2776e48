// Still capture, saving the shown picture with its overlay, and loading
// image files, driven through the main window's buttons.
#include "MainWndFixture.h"
#include "TestFiles.h"

#include "app/dialogs/FileDialog.h"
#include "engine/LayeredWnd.h"
#include "engine/RgnDataDrawer.h"
#include "workflow/MainControls.h"
#include "workflow/toolwnd/MeasureModeDlg.h"

#include <QImage>

namespace {

// The file's pixels as 24-bit colour, for comparing.
QImage Pixels(const QString& path)
{
    return QImage(path).convertToFormat(QImage::Format_RGB888);
}

// How many pixels two pictures of the same size differ in.
int DifferingPixels(const QImage& a, const QImage& b)
{
    int n = 0;
    for (int y = 0; y < a.height(); ++y) {
        for (int x = 0; x < a.width(); ++x) {
            n += a.pixel(x, y) != b.pixel(x, y) ? 1 : 0;
        }
    }
    return n;
}

// A caption's glyphs filled straight or through the drawer's kept picture of
// them may differ in a pixel at a glyph's edge (which one the save takes
// depends on what the drawer kept from earlier saves); a moved or missing
// shape differs in hundreds.
constexpr int kGlyphEdgePixels = 4;

} // namespace

class CaptureStillTest : public CaptureTest {
protected:
    // A 640 x 480 picture, dark grey, written as a file and loaded with the button.
    void LoadPicture(CPixmetraDlg& dlg)
    {
        QImage picture(640, 480, QImage::Format_RGB888);
        picture.fill(QColor(30, 40, 50));
        const QString path = m_Dir.path() + QStringLiteral("/画像 入力.bmp");
        ASSERT_TRUE(picture.save(path, "BMP"));
        m_Files.Paths.push_back(path);
        QTest::mouseClick(Button(IDC_BTN_LOAD_IMAGE), Qt::LeftButton);
        ASSERT_EQ(dlg.GetMessageText(), GetProgramString(IDS_IMAGE_LOADED));
    }

    // What the save should hold: the picture with the engine's drawing, cut to region.
    QImage Expected(CPixmetraDlg& dlg, const RECT& region)
    {
        QImage copy;
        EXPECT_TRUE(dlg.Parts().live.Image().CopyToDib(copy));
        CRgnDataDrawer drawer;
        EXPECT_TRUE(drawer.Render(dlg.Parts().pOverlay->Engine(), copy, region));
        if (region.right > region.left) {
            copy = copy.copy(region.left, region.top, region.right - region.left, region.bottom - region.top);
        }
        return copy.convertToFormat(QImage::Format_RGB888);
    }
};

TEST_F(CaptureStillTest, SavesTheShownPictureWithItsOverlayAtFitAndZoomed)
{
    WriteSettings([](SYSTEM_SETTING& s) {
        s.bSaveHoleImage = FALSE;
        s.FileFormat = 0;
    });
    CPixmetraDlg& dlg = Start(0);
    LoadPicture(dlg);
    MeasureDistance(dlg, POINT{100, 240}, POINT{540, 240});

    // Fit: the whole picture, the line burned in where the engine draws it.
    const QString fitPath = m_Dir.path() + QStringLiteral("/保存 fit.png");
    m_Files.Paths.push_back(fitPath);
    QTest::mouseClick(Button(IDC_BTN_SAVE_IMAGE), Qt::LeftButton);
    EXPECT_EQ(dlg.GetMessageText(), GetProgramString(IDS_IMAGE_SAVED));
    const QImage fit = Pixels(fitPath);
    ASSERT_EQ(fit.size(), QSize(640, 480));
    EXPECT_LE(DifferingPixels(fit, Expected(dlg, RECT{0, 0, 0, 0})), kGlyphEdgePixels);
    EXPECT_NE(fit.pixelColor(320, 240), QColor(30, 40, 50)) << "the line is in the file";
    EXPECT_EQ(fit.pixelColor(320, 100), QColor(30, 40, 50));

    // Zoomed: only the visible part, with the overlay at the same image pixels.
    QTest::mouseClick(Button(IDC_BTN_ZOOM_IN), Qt::LeftButton);
    QTest::mouseClick(Button(IDC_BTN_ZOOM_IN), Qt::LeftButton);
    const DISP_VIEW_STATE& view = dlg.Parts().geometry.StillView();
    ASSERT_FALSE(view.bFit);
    const RECT vis = view.VisibleRect;
    ASSERT_LT(vis.right - vis.left, 640);
    const QString zoomPath = m_Dir.path() + QStringLiteral("/zoom.png");
    m_Files.Paths.push_back(zoomPath);
    QTest::mouseClick(Button(IDC_BTN_SAVE_IMAGE), Qt::LeftButton);
    EXPECT_EQ(dlg.GetMessageText(), GetProgramString(IDS_IMAGE_SAVED));
    const QImage zoom = Pixels(zoomPath);
    ASSERT_EQ(zoom.size(), QSize(vis.right - vis.left, vis.bottom - vis.top));
    EXPECT_LE(DifferingPixels(zoom, Expected(dlg, vis)), kGlyphEdgePixels);
    // The same pixels as the whole picture's save at that place.
    EXPECT_LE(DifferingPixels(zoom, fit.copy(vis.left, vis.top, zoom.width(), zoom.height())), kGlyphEdgePixels);
    EXPECT_EQ(zoom.pixelColor(320 - vis.left, 240), fit.pixelColor(320, 240)) << "the line is in the part saved";

    // The same name again: the dialog asks, and No keeps the file as it was.
    const QByteArray before = [&] { QFile f(fitPath); f.open(QIODevice::ReadOnly); return f.readAll(); }();
    m_Files.bDeclineOverwrite = true;
    m_Files.Paths.push_back(fitPath);
    dlg.SetStatusMessage(QString());
    QTest::mouseClick(Button(IDC_BTN_SAVE_IMAGE), Qt::LeftButton);
    EXPECT_EQ(m_Files.nOverwriteAsked, 1);
    EXPECT_EQ(dlg.GetMessageText(), QString());
    QFile again(fitPath);
    ASSERT_TRUE(again.open(QIODevice::ReadOnly));
    EXPECT_EQ(again.readAll(), before);

    // A folder that does not exist: 606 in the line and in a box.
    m_Files.Paths.push_back(m_Dir.path() + QStringLiteral("/missing/x.jpg"));
    QTest::mouseClick(Button(IDC_BTN_SAVE_IMAGE), Qt::LeftButton);
    EXPECT_EQ(dlg.GetMessageText(), GetProgramString(IDS_SAVE_ERROR));
    ASSERT_FALSE(m_Boxes.Texts.empty());
    EXPECT_EQ(m_Boxes.Texts.back(), GetProgramString(IDS_SAVE_ERROR));
    EXPECT_TRUE(LogText().contains(QStringLiteral("[MAIN]AccImage.SaveImageFile(")));
}

TEST_F(CaptureStillTest, LoadsColourAndGreyPicturesAndReportsWhatFails)
{
    CPixmetraDlg& dlg = Start(0);
    QImage colour(37, 21, QImage::Format_RGB888);
    colour.fill(QColor(200, 100, 50));
    QImage grey(16, 9, QImage::Format_Grayscale8);
    grey.fill(77);
    struct CASE {
        QString name;
        QImage image;
        const char* pszFormat;
        uint32_t nBits;
    };
    const CASE cases[] = {
        {QStringLiteral("c.jpg"), colour, "JPEG", 24},
        {QStringLiteral("g.png"), grey, "PNG", 8},
    };
    for (const CASE& c : cases) {
        const QString path = m_Dir.path() + QStringLiteral("/フォルダ/") + c.name;
        QDir().mkpath(m_Dir.path() + QStringLiteral("/フォルダ"));
        ASSERT_TRUE(c.image.save(path, c.pszFormat)) << c.pszFormat;
        m_Files.Paths.push_back(path);
        QTest::mouseClick(Button(IDC_BTN_LOAD_IMAGE), Qt::LeftButton);
        EXPECT_EQ(dlg.GetMessageText(), GetProgramString(IDS_IMAGE_LOADED)) << c.pszFormat;
        EXPECT_EQ(dlg.Parts().live.GetDispImageKind(), DISP_STILL_IMAGE);
        EXPECT_EQ(dlg.Parts().live.Image().GetWidth(), c.image.width()) << c.pszFormat;
        EXPECT_EQ(dlg.Parts().live.Image().GetHeight(), c.image.height());
        EXPECT_EQ(dlg.Parts().live.Image().GetBitCount(), c.nBits) << c.pszFormat;
        EXPECT_EQ(dlg.Parts().pOverlay->Engine().GetImageHeight(), c.image.height()) << "the overlay measures on it";
    }
    // The open dialog offers every format read above in its first entry.
    EXPECT_EQ(QtFileFilter(m_Files.Filter).section(QStringLiteral(";;"), 0, 0),
              QStringLiteral("Image File (*.bmp *.jpg *.jpeg *.png *.tif *.tiff)"));
    EXPECT_TRUE(m_Boxes.Texts.empty());

    // A missing file and a file that is no picture: 605, the last picture stays.
    QFile junk(m_Dir.path() + QStringLiteral("/junk.jpg"));
    ASSERT_TRUE(junk.open(QIODevice::WriteOnly));
    junk.write("not a picture");
    junk.close();
    for (const QString& path : {m_Dir.path() + QStringLiteral("/none.bmp"), junk.fileName()}) {
        m_Files.Paths.push_back(path);
        QTest::mouseClick(Button(IDC_BTN_LOAD_IMAGE), Qt::LeftButton);
        EXPECT_EQ(dlg.GetMessageText(), GetProgramString(IDS_LOAD_ERROR));
        ASSERT_FALSE(m_Boxes.Texts.empty());
        EXPECT_EQ(m_Boxes.Texts.back(), GetProgramString(IDS_LOAD_ERROR));
        EXPECT_TRUE(LogText().contains(QStringLiteral("[MAIN]AccImage.LoadImageFile(%1)  Error!").arg(path)));
    }
    EXPECT_EQ(m_Boxes.Texts.size(), 2u);
}

TEST_F(CaptureStillTest, SaveWhileLiveCapturesTheNewestFrameAndReturnsToLive)
{
    WriteSettings([](SYSTEM_SETTING& s) { s.bSaveHoleImage = TRUE; });
    CPixmetraDlg& dlg = Start(1);
    ASSERT_TRUE(dlg.Parts().live.IsCameraOK());
    ASSERT_TRUE(QTest::qWaitFor([&] { return dlg.Parts().live.GetShownFrameCount() > 2; }, 5000));
    // Cancelled: back to live, no message box.
    m_Files.Paths.push_back(QString());
    QTest::mouseClick(Button(IDC_BTN_SAVE_IMAGE), Qt::LeftButton);
    EXPECT_EQ(dlg.Parts().live.GetDispImageKind(), DISP_CAMERA_IMAGE);
    EXPECT_TRUE(m_Boxes.Texts.empty());

    const QString path = m_Dir.path() + QStringLiteral("/live shot.jpg");
    m_Files.Paths.push_back(path);
    QTest::mouseClick(Button(IDC_BTN_SAVE_IMAGE), Qt::LeftButton);
    EXPECT_EQ(dlg.GetMessageText(), GetProgramString(IDS_IMAGE_SAVED));
    EXPECT_EQ(dlg.Parts().live.GetDispImageKind(), DISP_CAMERA_IMAGE);
    const QImage saved(path);
    EXPECT_EQ(saved.width(), dlg.Parts().live.Image().GetWidth());
    EXPECT_EQ(saved.height(), dlg.Parts().live.Image().GetHeight());

    // Without a picture the copy fails: reported, and never followed by 504.
    m_pDlg.reset();
    CPixmetraDlg& empty = Start(0);
    ASSERT_TRUE(empty.Parts().live.Image().IsEmpty());
    m_Files.Paths.push_back(m_Dir.path() + QStringLiteral("/nothing.bmp"));
    empty.OnBnClickedBtnSaveImage();
    EXPECT_EQ(empty.GetMessageText(), GetProgramString(IDS_SAVE_ERROR));
    EXPECT_FALSE(QFile::exists(m_Dir.path() + QStringLiteral("/nothing.bmp")));
    EXPECT_TRUE(LogText().contains(QStringLiteral("[MAIN]AccImage.CopyToDib() Error!")));
}

TEST_F(CaptureStillTest, AFileThatDoesNotLoadKeepsThePictureAndItsResultsWithoutAsking)
{
    CPixmetraDlg& dlg = Start(0);
    LoadPicture(dlg);
    MeasureDistance(dlg, POINT{10, 10}, POINT{110, 10});
    ASSERT_EQ(dlg.Parts().measure.Results().size(), 1u);
    const size_t nBoxes = m_Boxes.Texts.size();

    const QString junk = m_Dir.path() + QStringLiteral("/junk.bmp");
    testfiles::WriteBytes(junk, QByteArray("BM not a picture"));
    m_Files.Paths.push_back(junk);
    QTest::mouseClick(Button(IDC_BTN_LOAD_IMAGE), Qt::LeftButton);
    ASSERT_EQ(m_Boxes.Texts.size(), nBoxes + 1) << "only the error, no question";
    EXPECT_EQ(m_Boxes.Texts.back(), GetProgramString(IDS_LOAD_ERROR));
    EXPECT_EQ(dlg.Parts().measure.Results().size(), 1u);
    EXPECT_EQ(dlg.Parts().live.Image().GetWidth(), 640);

    // A picture that loads asks first; No keeps everything, Yes replaces both.
    QImage other(200, 100, QImage::Format_RGB888);
    other.fill(Qt::white);
    const QString good = m_Dir.path() + QStringLiteral("/other.png");
    ASSERT_TRUE(other.save(good, "PNG"));
    for (int nAnswer : {IDNO, IDYES}) {
        m_Files.Paths.push_back(good);
        m_Boxes.Answers.push_back(nAnswer);
        QTest::mouseClick(Button(IDC_BTN_LOAD_IMAGE), Qt::LeftButton);
        EXPECT_EQ(m_Boxes.Texts.back(), GetProgramString(IDS_CLEAR_MEASURE_QUESTION));
        EXPECT_EQ(dlg.Parts().measure.Results().size(), nAnswer == IDYES ? 0u : 1u);
        EXPECT_EQ(dlg.Parts().live.Image().GetWidth(), nAnswer == IDYES ? 200 : 640);
    }
}
