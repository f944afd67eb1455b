// Controls and panels offscreen: frames by state, unskinned fallbacks, keyboard use,
// notifications, placement, the manager's loading rules and the meters' levels.
#include <gtest/gtest.h>

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QKeyEvent>
#include <QLineEdit>
#include <QMouseEvent>
#include <QPainter>
#include <QTemporaryDir>
#include <QTextBrowser>
#include <QUrl>

#include <cmath>
#include <cstring>
#include <functional>
#include <memory>
#include <vector>

#include "skin/buttons.h"
#include "skin/control_records.h"
#include "skin/data_source.h"
#include "skin/dialog.h"
#include "skin/edits.h"
#include "skin/lists.h"
#include "skin/menu.h"
#include "skin/meters.h"
#include "skin/panels.h"
#include "skin/scroll_bar.h"
#include "skin/skin_base.h"
#include "skin/skin_file.h"
#include "skin/skin_manager.h"
#include "skin/skin_qt.h"
#include "skin/skin_values.h"
#include "skin/sliders.h"
#include "skin/statics.h"
#include "tests/skin/test_app.h"
#include "xml/xml.h"

namespace {

const char* const kFrameColors[] = {"#100000", "#200000", "#300000", "#400000",
                                    "#500000", "#600000", "#700000", "#800000"};

// An SVG with `count` solid 20x10 frames, frame i filled with kFrameColors[i].
QByteArray SolidFrames(int count) {
    QString body;
    for (int i = 0; i < count; ++i)
        body += QStringLiteral("<rect id=\"frame%1\" x=\"0\" y=\"%2\" width=\"20\" height=\"10\" fill=\"%3\"/>")
                    .arg(i)
                    .arg(i * 12)
                    .arg(kFrameColors[i]);
    return QStringLiteral(
               "<svg xmlns=\"http://www.w3.org/2000/svg\" width=\"20\" height=\"%1\" viewBox=\"0 0 20 %1\">%2</svg>")
        .arg(count * 12)
        .arg(body)
        .toUtf8();
}

struct Commands {
    std::vector<std::pair<int, int>> seen;
    void Attach(CSkinBase* control) {
        QObject::connect(control, &CSkinBase::command, [this](int id, int code) { seen.emplace_back(id, code); });
    }
    int Count(int code) const {
        int n = 0;
        for (const auto& [id, c] : seen) n += c == code;
        return n;
    }
};

class SkinControls : public ::testing::Test {
protected:
    void SetUp() override {
        TestApp();
        ASSERT_TRUE(m_dir.isValid());
    }
    // Writes data to a file in the test folder and returns its path.
    std::string Write(const QString& name, const QByteArray& data) {
        QFile file(m_dir.filePath(name));
        EXPECT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(data);
        return file.fileName().toStdString();
    }
    static QRgb CentrePixel(QWidget& widget) {
        const QImage image = widget.grab().toImage();
        return image.pixel(image.width() / 2, image.height() / 2);
    }
    static void Key(QWidget* target, int key, QEvent::Type type = QEvent::KeyPress) {
        QKeyEvent event(type, key, Qt::NoModifier, key == Qt::Key_Space ? QStringLiteral(" ") : QString());
        QApplication::sendEvent(target, &event);
    }
    static void Press(QWidget* target, int key) {
        Key(target, key, QEvent::KeyPress);
        Key(target, key, QEvent::KeyRelease);
    }
    QTemporaryDir m_dir;
};

}  // namespace

TEST_F(SkinControls, DataSourceReadsFramesAndTheirSizes) {
    CSkinFile file(Write("frames.svg", SolidFrames(8)));
    ASSERT_TRUE(file.IsOpen());
    CDataSource source;
    ASSERT_TRUE(source.LoadFromHandle(file.Handle()));
    EXPECT_TRUE(source.IsVector());
    EXPECT_EQ(source.GetFrameCount(), 8);
    EXPECT_EQ(source.GetFrameSize(), QSize(20, 10));
    for (int frame = 0; frame < 8; ++frame) {
        const QImage image = source.RenderFrame(frame, QSize(40, 20), 2.0).toImage();
        EXPECT_EQ(image.size(), QSize(80, 40));
        EXPECT_EQ(QColor(image.pixel(40, 20)).name(), QString(kFrameColors[frame])) << frame;
    }
    // A frame beyond the last draws the last.
    EXPECT_EQ(QColor(source.RenderFrame(20, QSize(20, 10), 1.0).toImage().pixel(10, 5)).name(),
              QString(kFrameColors[7]));
    // The handle is read from its start each time.
    CDataSource again;
    EXPECT_TRUE(again.LoadFromHandle(file.Handle()));
}

TEST_F(SkinControls, DataSourceKeepsBordersWhenStretched) {
    // Red 4-pixel border around a blue middle, the middle marked stretchable.
    const QByteArray svg =
        "<svg xmlns=\"http://www.w3.org/2000/svg\" width=\"20\" height=\"20\" viewBox=\"0 0 20 20\">"
        "<rect x=\"0\" y=\"0\" width=\"20\" height=\"20\" fill=\"#ff0000\"/>"
        "<rect x=\"4\" y=\"4\" width=\"12\" height=\"12\" fill=\"#0000ff\"/>"
        "<rect id=\"stretch\" x=\"4\" y=\"4\" width=\"12\" height=\"12\" fill=\"none\"/></svg>";
    CDataSource source;
    ASSERT_TRUE(source.LoadFromData(svg));
    EXPECT_EQ(source.GetMargins(), QMargins(4, 4, 4, 4));
    const QImage image = source.RenderFrame(0, QSize(200, 60), 1.0).toImage();
    EXPECT_EQ(QColor(image.pixel(1, 1)).name(), "#ff0000");
    EXPECT_EQ(QColor(image.pixel(5, 30)).name(), "#0000ff");  // the border stays 4 pixels wide
    EXPECT_EQ(QColor(image.pixel(198, 58)).name(), "#ff0000");
    EXPECT_EQ(QColor(image.pixel(100, 30)).name(), "#0000ff");
    // An explicit margin wins over the picture's own.
    source.SetMargins(QMargins(8, 8, 8, 8));
    EXPECT_EQ(source.GetMargins(), QMargins(8, 8, 8, 8));
}

TEST_F(SkinControls, RasterFramesAndDoubleDensity) {
    QImage strip(8, 24, QImage::Format_ARGB32);
    strip.fill(Qt::red);
    for (int y = 12; y < 24; ++y)
        for (int x = 0; x < 8; ++x) strip.setPixel(x, y, qRgb(0, 0, 255));
    strip.setText("Frames", "2");
    strip.setText("Scale", "2");
    {
        QFile file(m_dir.filePath("strip.png"));
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        ASSERT_TRUE(strip.save(&file, "PNG"));
    }
    CDataSource source;
    ASSERT_TRUE(source.LoadFromFile(m_dir.filePath("strip.png")));
    EXPECT_FALSE(source.IsVector());
    EXPECT_EQ(source.GetFrameCount(), 2);
    EXPECT_EQ(source.GetFrameSize(), QSize(4, 6));  // 8x12 pixels at double density
    EXPECT_EQ(QColor(source.RenderFrame(1, QSize(4, 6), 2.0).toImage().pixel(3, 5)).name(), "#0000ff");
}

TEST_F(SkinControls, BadImagesAreRefused) {
    CDataSource source;
    EXPECT_FALSE(source.LoadFromData("this is no picture"));
    EXPECT_FALSE(source.LoadFromData(""));
    EXPECT_FALSE(source.LoadFromData("<svg xmlns=\"http://www.w3.org/2000/svg\"><rect"));
    EXPECT_FALSE(source.LoadFromHandle(SKIN_NO_HANDLE));
    EXPECT_FALSE(source.LoadFromFile(m_dir.filePath("missing.svg")));
    EXPECT_FALSE(source.IsValid());
    EXPECT_FALSE(CSkinFile(m_dir.filePath("missing.svg").toStdString()).IsOpen());
    EXPECT_FALSE(CSkinFile(m_dir.path().toStdString()).IsOpen());  // a folder is no image file
    EXPECT_FALSE(CSkinFile("").IsOpen());
}

// Every control takes its own kind's record and refuses none, another kind's record, and its
// own with a wrong size word; a refused record leaves it unskinned.
TEST_F(SkinControls, ControlsTakeOnlyTheirKindsRecord) {
    CSkinFile file(Write("frames.svg", SolidFrames(8)));
    ASSERT_TRUE(file.IsOpen());
    SCBUTTONRES button;
    button.source = file.Handle();
    SCCHECKRES check;
    check.source = file.Handle();
    SCEDITRES edit;
    SCSTATICRES text;
    SCHYPERLINKRES link;
    SCSCROLLBARRES scrollBar;
    scrollBar.source = file.Handle();
    SCEDIT2RES field;
    field.source = file.Handle();
    SCSLIDERRES slider;
    slider.source = file.Handle();
    SCSCALESLIDERRES scaleSlider;
    scaleSlider.source = file.Handle();

    struct Case {
        const char* name;
        std::function<std::unique_ptr<CSkinBase>()> make;
        void* own;          // the kind's record
        const void* other;  // a record of another kind and size
    };
    const Case cases[] = {
        {"push button", [] { return std::make_unique<CSCButton>(nullptr, 1); }, &button, &check},
        {"check button", [] { return std::make_unique<CSCButton>(nullptr, 1, BS_AUTOCHECKBOX); }, &check, &button},
        {"text box", [] { return std::make_unique<CSCEditBox>(nullptr, 1); }, &edit, &text},
        {"time edit", [] { return std::make_unique<CSCTimeEdit>(nullptr, 1); }, &edit, &link},
        {"edit field", [] { return std::make_unique<CSCEditBox2>(nullptr, 1); }, &field, &edit},
        {"static", [] { return std::make_unique<CSCStatic>(nullptr, 1); }, &text, &link},
        {"HTML static", [] { return std::make_unique<CSCHtmlStatic>(nullptr, 1); }, &text, &edit},
        {"hyperlink", [] { return std::make_unique<CSCHyperLinkStatic>(nullptr, 1); }, &link, &text},
        {"scroll bar", [] { return std::make_unique<CSCScrollBar>(nullptr, 1); }, &scrollBar, &scaleSlider},
        {"slider", [] { return std::make_unique<CSCSlider>(nullptr, 1); }, &slider, &scaleSlider},
        {"stretching slider", [] { return std::make_unique<CSCScaleSlider>(nullptr, 1); }, &scaleSlider, &slider},
    };
    for (const Case& c : cases) {
        const std::unique_ptr<CSkinBase> control = c.make();
        EXPECT_FALSE(control->UseCustomSkin(nullptr)) << c.name;
        EXPECT_FALSE(control->UseCustomSkin(c.other)) << c.name;
        uint32_t& size = *static_cast<uint32_t*>(c.own);
        const uint32_t rightSize = size;
        size = rightSize + 4;
        EXPECT_FALSE(control->UseCustomSkin(c.own)) << c.name;
        size = rightSize;
        EXPECT_FALSE(control->IsSkinned()) << c.name;
        EXPECT_TRUE(control->UseCustomSkin(c.own)) << c.name;
        EXPECT_TRUE(control->IsSkinned()) << c.name;
    }
}

TEST_F(SkinControls, ButtonPicksTheFrameOfItsState) {
    CSkinFile file(Write("frames.svg", SolidFrames(8)));
    CSCButton button(nullptr, 1071, BS_AUTOCHECKBOX);
    SCCHECKRES res;
    res.source = file.Handle();
    ASSERT_TRUE(button.UseCustomSkin(&res));
    EXPECT_TRUE(button.IsSkinned());
    button.resize(40, 20);
    auto frameShown = [&] { return QColor(CentrePixel(button)).name(); };
    EXPECT_EQ(frameShown(), kFrameColors[0]);
    button.SetCheck(1);
    EXPECT_EQ(frameShown(), kFrameColors[4]);
    button.setEnabled(false);
    EXPECT_EQ(frameShown(), kFrameColors[7]);
    button.SetCheck(0);
    EXPECT_EQ(frameShown(), kFrameColors[3]);
    button.setEnabled(true);
    QMouseEvent press(QEvent::MouseButtonPress, QPointF(5, 5), QPointF(5, 5), Qt::LeftButton, Qt::LeftButton,
                      Qt::NoModifier);
    QApplication::sendEvent(&button, &press);
    EXPECT_EQ(frameShown(), kFrameColors[2]);
    // A push button takes only its own record.
    CSCButton push(nullptr, 1);
    EXPECT_FALSE(push.UseCustomSkin(&res));
}

TEST_F(SkinControls, MissingImageLeavesAWorkingUnskinnedButton) {
    CSkinFile text(Write("notes.txt", "plain text"));
    for (SkinHandle handle : {SKIN_NO_HANDLE, text.Handle()}) {
        CSCButton button(nullptr, 1036);
        SCBUTTONRES res;
        res.source = handle;
        EXPECT_FALSE(button.UseCustomSkin(&res));
        EXPECT_FALSE(button.IsSkinned());
        button.resize(80, 30);
        button.SetWindowText("Close");
        EXPECT_FALSE(button.grab().isNull());  // paints its plain look
        Commands commands;
        commands.Attach(&button);
        Press(&button, Qt::Key_Space);
        ASSERT_EQ(commands.seen.size(), 1u);
        EXPECT_EQ(commands.seen[0], std::make_pair(1036, static_cast<int>(SCN_CLICKED)));
    }
}

TEST_F(SkinControls, KeyboardFocusAndActivation) {
    CSCScaleDialog dialog;
    auto* first = new CSCButton(&dialog, 1041);
    auto* check = new CSCButton(&dialog, 1106, BS_AUTOCHECKBOX);
    first->setGeometry(10, 10, 100, 30);
    check->setGeometry(10, 50, 100, 30);
    dialog.resize(200, 100);
    dialog.show();
    dialog.activateWindow();
    QApplication::setActiveWindow(&dialog);
    QApplication::processEvents();

    Commands commands;
    commands.Attach(first);
    commands.Attach(check);
    first->setFocus(Qt::TabFocusReason);
    ASSERT_TRUE(first->hasFocus());
    EXPECT_TRUE(first->IsFocusVisible());
    // The focus ring shows: the focused button looks different from the unfocused one.
    const QImage focused = first->grab().toImage();
    check->setFocus(Qt::MouseFocusReason);
    EXPECT_FALSE(check->IsFocusVisible());
    EXPECT_NE(focused, first->grab().toImage());

    // Tab moves on, Space and Enter activate.
    first->setFocus(Qt::TabFocusReason);
    Press(first, Qt::Key_Tab);
    EXPECT_TRUE(check->hasFocus());
    EXPECT_TRUE(check->IsFocusVisible());
    Key(check, Qt::Key_Space);
    EXPECT_TRUE(commands.seen.empty());  // a click happens on release
    Key(check, Qt::Key_Space, QEvent::KeyRelease);
    EXPECT_EQ(check->GetCheck(), 1);
    Press(check, Qt::Key_Return);
    EXPECT_EQ(check->GetCheck(), 0);
    Press(first, Qt::Key_Enter);
    ASSERT_EQ(commands.seen.size(), 3u);
    EXPECT_EQ(commands.seen[0], std::make_pair(1106, static_cast<int>(SCN_CLICKED)));
    EXPECT_EQ(commands.seen[2], std::make_pair(1041, static_cast<int>(SCN_CLICKED)));

    // Enter anywhere in the dialog clicks its default button; a disabled button stays quiet.
    dialog.SetDefaultButton(first);
    Press(&dialog, Qt::Key_Return);
    EXPECT_EQ(commands.seen.size(), 4u);
    first->setEnabled(false);
    first->Click();
    Press(&dialog, Qt::Key_Return);
    EXPECT_EQ(commands.seen.size(), 4u);
    // Escape cancels with the system's cancel code.
    Press(&dialog, Qt::Key_Escape);
    EXPECT_FALSE(dialog.isVisible());
    EXPECT_EQ(dialog.result(), 2);
}

TEST_F(SkinControls, EditReportsChangesAndOneCommitPerEntry) {
    CSCScaleDialog dialog;
    auto* edit = new CSCEditBox2(&dialog, 1136);
    auto* other = new CSCButton(&dialog, 1);
    edit->setGeometry(0, 0, 200, 36);
    other->setGeometry(0, 40, 50, 30);
    dialog.show();
    QApplication::setActiveWindow(&dialog);
    Commands commands;
    commands.Attach(edit);

    edit->SetWindowText("00:00:01.000");
    EXPECT_EQ(commands.Count(SCN_CHANGE), 1);
    EXPECT_EQ(edit->GetWindowText(), "00:00:01.000");
    edit->setFocus(Qt::TabFocusReason);
    ASSERT_TRUE(edit->Editor()->hasFocus());
    QKeyEvent typed(QEvent::KeyPress, Qt::Key_5, Qt::NoModifier, "5");
    QApplication::sendEvent(edit->Editor(), &typed);
    EXPECT_EQ(commands.Count(SCN_CHANGE), 2);
    EXPECT_EQ(edit->GetWindowText(), "00:00:01.0005");
    Press(edit->Editor(), Qt::Key_Return);
    EXPECT_EQ(commands.Count(SCN_COMMIT), 1);
    other->setFocus(Qt::TabFocusReason);  // nothing typed since the commit
    EXPECT_EQ(commands.Count(SCN_COMMIT), 1);
    edit->setFocus(Qt::TabFocusReason);
    QApplication::sendEvent(edit->Editor(), &typed);
    other->setFocus(Qt::TabFocusReason);  // leaving an edited field confirms it
    EXPECT_EQ(commands.Count(SCN_COMMIT), 2);

    edit->SetCueBanner("No file selected");
    EXPECT_EQ(edit->Editor()->placeholderText(), "No file selected");
    edit->SetReadOnly(true);
    EXPECT_TRUE(edit->IsReadOnly());
}

TEST_F(SkinControls, ScrollBarAsksAndTheOwnerMoves) {
    CSCScrollBar bar(nullptr, 1131);
    bar.resize(300, 12);
    bar.SetScrollInfo(0, 99, 10, 500);
    EXPECT_EQ(bar.GetScrollPos(), 90);  // the last page
    bar.SetScrollPos(-4);
    EXPECT_EQ(bar.GetScrollPos(), 0);
    std::vector<std::pair<int, int>> requests;
    QObject::connect(&bar, &CSkinBase::scroll, [&](int id, int request, int position) {
        EXPECT_EQ(id, 1131);
        requests.emplace_back(request, position);
    });
    Press(&bar, Qt::Key_Right);
    Press(&bar, Qt::Key_End);
    ASSERT_EQ(requests.size(), 4u);
    EXPECT_EQ(requests[0].first, SB_LINERIGHT);
    EXPECT_EQ(requests[1].first, SB_ENDSCROLL);
    EXPECT_EQ(requests[2].first, SB_RIGHT);
    EXPECT_EQ(bar.GetScrollPos(), 0);  // requests only: the owner sets the position
    // A click right of the thumb asks for the next page.
    QMouseEvent press(QEvent::MouseButtonPress, QPointF(250, 6), QPointF(250, 6), Qt::LeftButton, Qt::LeftButton,
                      Qt::NoModifier);
    QApplication::sendEvent(&bar, &press);
    EXPECT_EQ(requests.back().first, SB_PAGERIGHT);
}

TEST_F(SkinControls, SliderMovesByKeyboardAndReports) {
    CSCScaleSlider slider(nullptr, 1156);
    slider.resize(200, 24);
    slider.SetRange(0, 200);
    slider.SetPos(100);
    Commands commands;
    commands.Attach(&slider);
    Press(&slider, Qt::Key_Right);
    EXPECT_EQ(slider.GetPos(), 101);
    Press(&slider, Qt::Key_PageDown);
    EXPECT_EQ(slider.GetPos(), 81);
    Press(&slider, Qt::Key_End);
    EXPECT_EQ(slider.GetPos(), 200);
    Press(&slider, Qt::Key_Up);  // already at the end: nothing to report
    EXPECT_EQ(slider.GetPos(), 200);
    EXPECT_EQ(commands.Count(SCN_HSCROLL), 3);
    slider.SetPos(500);  // the program's moves are clamped and not reported
    EXPECT_EQ(slider.GetPos(), 200);
    EXPECT_EQ(commands.Count(SCN_HSCROLL), 3);
    // A click on the track jumps there.
    QMouseEvent press(QEvent::MouseButtonPress, QPointF(9, 12), QPointF(9, 12), Qt::LeftButton, Qt::LeftButton,
                      Qt::NoModifier);
    QApplication::sendEvent(&slider, &press);
    EXPECT_EQ(slider.GetPos(), 0);
}

TEST_F(SkinControls, PanelPlacesControlsFromTheirElements) {
    enXml root;
    const char* xml =
        "<S><Panel Width=\"400\" Height=\"300\" BkColor=\"#ffffff\" Radius=\"10\">"
        "<Label Place=\"10, 10, 100, 20\" Text=\"Hello\"/></Panel>"
        "<A Place=\"10, 20, 100, 30\"/>"
        "<B Place=\"290, 20, 100, 30\" Anchor=\"Right Top\" Text=\"Go\"/>"
        "<C Place=\"10, 250, 380, 40\" Anchor=\"Left Right Bottom\"/>"
        "<D Place=\"150, 100, 100, 100\" Anchor=\"Center\"/>"
        "<E Place=\"150, 100, 100, 100\" Anchor=\"Bottom\" Visible=\"No\"/>"
        "<F Place=\"1, 2\"/></S>";
    ASSERT_TRUE(root.LoadMemory(xml, std::strlen(xml)));
    QWidget window;
    auto* panel = new CAutoPanelCaption(&window);
    panel->LoadResources(root.FindChild("Panel"));
    EXPECT_EQ(panel->GetInitialSize(), QSize(400, 300));
    EXPECT_EQ(panel->size(), QSize(400, 300));
    std::vector<CSCButton*> buttons;
    for (const char* name : {"A", "B", "C", "D", "E", "F"}) {
        auto* button = new CSCButton(&window, 1);
        button->setGeometry(5, 6, 7, 8);
        panel->AutoDisposeControl(button, root.FindChild(name));
        buttons.push_back(button);
    }
    window.show();
    EXPECT_EQ(buttons[0]->parentWidget(), panel);
    EXPECT_EQ(buttons[0]->geometry(), QRect(10, 20, 100, 30));
    EXPECT_EQ(buttons[1]->GetWindowText(), "Go");
    EXPECT_TRUE(buttons[0]->isVisible());
    EXPECT_FALSE(buttons[4]->isVisible());
    EXPECT_EQ(buttons[5]->geometry(), QRect(5, 6, 7, 8));  // a bad Place keeps the geometry

    panel->resize(500, 360);
    EXPECT_EQ(buttons[0]->geometry(), QRect(10, 20, 100, 30));
    EXPECT_EQ(buttons[1]->geometry(), QRect(390, 20, 100, 30));
    EXPECT_EQ(buttons[2]->geometry(), QRect(10, 310, 480, 40));
    EXPECT_EQ(buttons[3]->geometry(), QRect(200, 130, 100, 100));
    EXPECT_EQ(buttons[4]->geometry(), QRect(200, 160, 100, 100));

    // The rounded shape: corners outside, middle inside.
    const QRegion shape = panel->GetDataSource().GetFrameRgn(0, panel->GetInitialSize());
    EXPECT_FALSE(shape.contains(QPoint(0, 0)));
    EXPECT_TRUE(shape.contains(QPoint(200, 150)));
    EXPECT_TRUE(shape.contains(QPoint(10, 150)));
    panel->GetDataSource().CloseHandle();

    // Detached controls survive the panel.
    EXPECT_EQ(panel->GetControlCount(), 6);
    panel->DetachAllControls();
    EXPECT_EQ(panel->GetControlCount(), 0);
    QPointer<CSCButton> survivor = buttons[0];
    delete panel;
    ASSERT_FALSE(survivor.isNull());
    EXPECT_EQ(survivor->parentWidget(), &window);
}

TEST_F(SkinControls, ManagerLoadsOnlySkins) {
    EXPECT_EQ(LoadStandardSkin(Write("bad.xml", "<SKIN_KEL Caption=\"x\">")), SKINLOAD_BAD_XML);
    EXPECT_EQ(LoadStandardSkin(Write("other.xml", "<OTHER Caption=\"x\"/>")), SKINLOAD_NOT_A_SKIN);
    EXPECT_EQ(LoadStandardSkin(Write("empty.xml", "<SKIN_KEL Caption=\"\"/>")), SKINLOAD_NOT_A_SKIN);
    EXPECT_EQ(GetSkinXMLRoot(), nullptr);
    const std::string good = Write("good.xml",
                                   "<skin_kel Caption=\"Test\" LogFont=\"Inter, 15, medium\"><Palette "
                                   "Accent=\"#112233\" Text=\"@Accent\" Border=\"bad\"/>"
                                   "<MAINFRAME/></skin_kel>");
    ASSERT_EQ(LoadStandardSkin(good), SKINLOAD_OK);
    enXml* root = GetSkinXMLRoot();
    ASSERT_NE(root, nullptr);
    EXPECT_NE(root->FindChild("mainframe"), nullptr);
    EXPECT_EQ(GetSkinColor(SKINCOLOR_ACCENT), RGB(0x11, 0x22, 0x33));
    EXPECT_EQ(GetSkinColor(SKINCOLOR_TEXT), RGB(0x11, 0x22, 0x33));
    EXPECT_EQ(GetSkinColor(SKINCOLOR_BORDER), RGB(0xDD, 0xE1, 0xE8));  // a bad value keeps the built-in one
    EXPECT_EQ(LoadColor("@Accent"), RGB(0x11, 0x22, 0x33));
    EXPECT_EQ(GetSWQueryInterface()->GetSkinFolder(), m_dir.path().toStdString());
    EXPECT_EQ(GetSWQueryInterface()->GetSkinFont().lfWeight, 500);
    // A failed load keeps the skin that was loaded.
    EXPECT_EQ(LoadStandardSkin(Write("bad2.xml", "<<<")), SKINLOAD_BAD_XML);
    EXPECT_EQ(GetSkinXMLRoot(), root);
}

TEST_F(SkinControls, ControlsAskTheManagerTheyAreGiven) {
    struct Dark final : ISkinManager {
        int LoadStandardSkin(const std::string&) override { return SKINLOAD_NOT_FOUND; }
        enXml* GetSkinXMLRoot() override { return nullptr; }
        COLORREF GetSkinColor(int) const override { return RGB(1, 2, 3); }
        std::string GetSkinFolder() const override { return {}; }
        LOGFONT GetSkinFont() const override { return {}; }
        LOGFONT GetCaptionFont() const override { return {}; }
    } dark;
    SetSWQueryInterface(&dark);
    EXPECT_EQ(LoadColor("@Window"), RGB(1, 2, 3));
    EXPECT_EQ(SkinPaletteColor(SKINCOLOR_TEXT), QColor(1, 2, 3));
    SetSWQueryInterface(nullptr);
    EXPECT_EQ(SkinControlsManager(), GetSWQueryInterface());
}

TEST_F(SkinControls, MeterLevelsFromPcmAndTheirDecay) {
    CSCPlayMeterRenderer renderer;
    WAVEFORMATEX pcm16{WAVE_FORMAT_PCM, 2, 44100, 176400, 4, 16, 0};
    const int16_t frames[] = {16384, -8192, -16384, 4096};  // left peaks at 0.5, right at 0.25
    renderer.AddPcm(frames, sizeof frames, pcm16);
    std::vector<float> levels = renderer.Advance(0);
    ASSERT_EQ(levels.size(), 2u);
    EXPECT_NEAR(levels[0], (20 * std::log10(0.5) + 60) / 60, 1e-4);
    EXPECT_NEAR(levels[1], (20 * std::log10(0.25) + 60) / 60, 1e-4);
    // Silence: the level falls by 24 dB (0.4 of the scale) per second.
    levels = renderer.Advance(500);
    EXPECT_NEAR(levels[0], (20 * std::log10(0.5) + 60) / 60 - 0.2, 1e-4);
    levels = renderer.Advance(5000);
    EXPECT_EQ(levels[0], 0.0f);

    const uint8_t pcm8[] = {255, 128};  // near full scale, silence
    renderer.AddPcm(pcm8, sizeof pcm8, WAVEFORMATEX{WAVE_FORMAT_PCM, 2, 8000, 16000, 2, 8, 0});
    levels = renderer.Advance(0);
    EXPECT_NEAR(levels[0], 1.0f, 0.01f);
    renderer.Reset();
    const uint8_t pcm24[] = {0x00, 0x00, 0xC0};  // -0.5
    renderer.AddPcm(pcm24, sizeof pcm24, WAVEFORMATEX{WAVE_FORMAT_PCM, 1, 8000, 24000, 3, 24, 0});
    EXPECT_NEAR(renderer.Advance(0)[0], (20 * std::log10(0.5) + 60) / 60, 1e-4);
    const float left[] = {0.0f, -1.0f}, right[] = {0.001f, 0.0f};
    const float* channels[] = {left, right};
    renderer.AddSamples(channels, 2, 2);
    levels = renderer.Advance(1000);
    EXPECT_FLOAT_EQ(levels[0], 1.0f);
    EXPECT_NEAR(levels[1], 0.0f, 1e-4);
    // Malformed formats are ignored rather than read past the data.
    renderer.AddPcm(frames, sizeof frames, WAVEFORMATEX{WAVE_FORMAT_PCM, 0, 44100, 0, 0, 16, 0});
    renderer.AddPcm(frames, sizeof frames, WAVEFORMATEX{WAVE_FORMAT_PCM, 2, 44100, 0, 2, 16, 0});
    renderer.AddPcm(nullptr, 100, pcm16);
    EXPECT_NEAR(renderer.Advance(1000)[0], 0.6f, 1e-4);  // only the decay of the earlier peak
}

TEST_F(SkinControls, BrowserShowsOnlyLocalPages) {
    const std::string page = Write("page.html", "<html><body><p>Local banner</p></body></html>");
    CSCHtmlBrowser browser(nullptr, 1051);
    browser.InitHtml(5);
    EXPECT_FALSE(browser.Navigate("https://example.com/banner.html"));
    EXPECT_TRUE(browser.Navigate("https://example.com/banner.html", QString::fromStdString(page)));
    EXPECT_EQ(browser.GetCurrentAddress(), QUrl::fromLocalFile(QString::fromStdString(page)).toString());
    EXPECT_TRUE(browser.Browser()->toPlainText().contains("Local banner"));
    EXPECT_FALSE(browser.Navigate(m_dir.filePath("missing.html")));
}

TEST_F(SkinControls, ListsKeepItemDataAndReportOnlyUserChoices) {
    CSCComboBox2 combo(nullptr, 1251);
    Commands commands;
    commands.Attach(&combo);
    EXPECT_EQ(combo.AddString("MP3 (Lame)"), 0);
    EXPECT_EQ(combo.AddString("AAC (Faac)"), 1);
    combo.SetItemData(1, 64);
    EXPECT_EQ(combo.GetItemData(1), 64);
    EXPECT_EQ(combo.GetItemData(7), 0);
    combo.SetCurSel(0);
    EXPECT_EQ(combo.GetCurSel(), 0);
    EXPECT_TRUE(commands.seen.empty());
    Press(combo.Combo(), Qt::Key_Down);
    EXPECT_EQ(combo.GetCurSel(), 1);
    EXPECT_EQ(commands.Count(SCN_SELCHANGE), 1);
    combo.SetCurSel(9);
    EXPECT_EQ(combo.GetCurSel(), -1);

    CSCListBox list(nullptr, 1);
    Commands listCommands;
    listCommands.Attach(&list);
    list.AddString("Phone");
    list.AddString("Tablet");
    list.SetItemData(1, 42);
    list.SetCurSel(1);
    list.DeleteString(0);
    EXPECT_TRUE(listCommands.seen.empty());
    EXPECT_EQ(list.GetItemData(0), 42);
    EXPECT_EQ(list.GetText(0), "Tablet");
}

TEST_F(SkinControls, LinkIsActivatedByKeyboard) {
    CSCHyperLinkStatic link(nullptr, 1056);
    SCHYPERLINKRES res;
    res.normal = RGB(1, 2, 3);
    EXPECT_TRUE(link.UseCustomSkin(&res));
    SCSTATICRES wrong;
    EXPECT_FALSE(link.UseCustomSkin(&wrong));
    link.SetWindowText("Morvane");
    Commands commands;
    commands.Attach(&link);
    int activations = 0;
    QObject::connect(&link, &CSCHyperLinkStatic::linkActivated, [&](const QString& url) {
        EXPECT_TRUE(url.isEmpty());
        ++activations;
    });
    Press(&link, Qt::Key_Space);
    Press(&link, Qt::Key_Return);
    EXPECT_EQ(activations, 2);
    EXPECT_EQ(commands.Count(SCN_CLICKED), 2);
    EXPECT_EQ(link.focusPolicy(), Qt::StrongFocus);
}

TEST_F(SkinControls, MenuEntriesCarryTheirIds) {
    CSCMenu menu;
    menu.AppendMenu(CSCMenu::MF_STRING, 32871, "My Library");
    menu.AppendMenu(CSCMenu::MF_STRING, 32872, "My Computer");
    menu.AppendMenu(CSCMenu::MF_SEPARATOR);
    menu.AppendMenu(CSCMenu::MF_GRAYED, 32874, "CD Drive 1 [No Audio Tracks]");
    menu.InsertMenu(1, CSCMenu::MF_CHECKED, 1001, "1 : 1");
    EXPECT_EQ(menu.GetMenuItemCount(), 5);
    EXPECT_EQ(menu.actions().at(1)->data().toInt(), 1001);
    EXPECT_TRUE(menu.FindItem(1001)->isChecked());
    EXPECT_FALSE(menu.FindItem(32874)->isEnabled());
    menu.CheckMenuItem(32871, true);
    EXPECT_TRUE(menu.FindItem(32871)->isChecked());
    menu.EnableMenuItem(32874, true);
    EXPECT_TRUE(menu.FindItem(32874)->isEnabled());
    EXPECT_EQ(menu.FindItem(5), nullptr);
    menu.InsertMenu(99, CSCMenu::MF_STRING, 32875, "CD Drive 2");
    EXPECT_EQ(menu.actions().last()->data().toInt(), 32875);
}

TEST_F(SkinControls, AlphaMaskShapesEveryFrame) {
    CDataSource source;
    ASSERT_TRUE(source.LoadFromData(SolidFrames(2)));
    // Only the left half of the mask is opaque.
    ASSERT_TRUE(source.LoadAlphaFromData(
        "<svg xmlns=\"http://www.w3.org/2000/svg\" width=\"20\" height=\"10\" viewBox=\"0 0 20 10\">"
        "<rect x=\"0\" y=\"0\" width=\"10\" height=\"10\" fill=\"#000\"/></svg>"));
    for (int frame = 0; frame < 2; ++frame) {
        const QImage image = source.RenderFrame(frame, QSize(20, 10), 1.0).toImage();
        EXPECT_EQ(qAlpha(image.pixel(3, 5)), 255) << frame;
        EXPECT_EQ(qAlpha(image.pixel(16, 5)), 0) << frame;
    }
    const QRegion shape = source.GetFrameRgn(0);
    EXPECT_TRUE(shape.contains(QPoint(3, 5)));
    EXPECT_FALSE(shape.contains(QPoint(16, 5)));
}

TEST_F(SkinControls, TiledMiddleRepeatsInsteadOfStretching) {
    // 2-pixel borders, a middle of alternating 1-pixel black and white columns.
    QString stripes;
    for (int x = 2; x < 18; x += 2)
        stripes += QStringLiteral("<rect x=\"%1\" y=\"0\" width=\"1\" height=\"20\" fill=\"#000000\"/>").arg(x);
    const QByteArray svg =
        QStringLiteral(
            "<svg xmlns=\"http://www.w3.org/2000/svg\" width=\"20\" height=\"20\" viewBox=\"0 0 20 20\">"
            "<rect x=\"0\" y=\"0\" width=\"20\" height=\"20\" fill=\"#ffffff\"/>%1</svg>")
            .arg(stripes)
            .toUtf8();
    CDataSource source;
    ASSERT_TRUE(source.LoadFromData(svg));
    source.SetMargins(QMargins(2, 2, 2, 2));
    source.SetTiled(true);
    auto darkChanges = [](const QImage& image) {
        int changes = 0;
        for (int x = 3; x < 77; ++x)
            changes += (qGray(image.pixel(x, 10)) < 128) != (qGray(image.pixel(x - 1, 10)) < 128);
        return changes;
    };
    EXPECT_GT(darkChanges(source.RenderFrame(0, QSize(80, 20), 1.0).toImage()), 60);  // a one-pixel pattern all along
    source.SetTiled(false);
    EXPECT_LT(darkChanges(source.RenderFrame(0, QSize(80, 20), 1.0).toImage()), 40);  // the pattern drawn wider
}

TEST_F(SkinControls, VerticalSliderHasItsMaximumAtTheTop) {
    CSCSlider slider(nullptr, 1, TBS_VERT);
    slider.resize(24, 200);
    slider.SetRange(0, 10);
    slider.SetPos(5);
    Commands commands;
    commands.Attach(&slider);
    Press(&slider, Qt::Key_Up);
    EXPECT_EQ(slider.GetPos(), 6);
    EXPECT_EQ(commands.Count(SCN_VSCROLL), 1);
    QMouseEvent top(QEvent::MouseButtonPress, QPointF(12, 2), QPointF(12, 2), Qt::LeftButton, Qt::LeftButton,
                    Qt::NoModifier);
    QApplication::sendEvent(&slider, &top);
    EXPECT_EQ(slider.GetPos(), 10);
    QMouseEvent bottom(QEvent::MouseMove, QPointF(12, 198), QPointF(12, 198), Qt::NoButton, Qt::LeftButton,
                       Qt::NoModifier);
    QApplication::sendEvent(&slider, &bottom);
    EXPECT_EQ(slider.GetPos(), 0);
}
