#include "resources/form_names.h"
#include "resources/window_design.h"

namespace sorvo::design {

namespace {

const QString skinCursor = QStringLiteral("SkinCursor");
const QString cancelCursor = QStringLiteral("CancelCursor");
const QString closeCursor = QStringLiteral("CloseCursor");

ControlDesign button(const QString& formName, QRect rect, const QString& role,
                     const QString& cursor, const QString& pictureWords) {
    return {.formName = formName,
            .kind = ControlKind::GraphicButton,
            .rect = rect,
            .picture = role + QStringLiteral("Normal"),
            .highlightedPicture = role + QStringLiteral("Highlighted"),
            .cursor = cursor,
            .pictureWords = pictureWords};
}

ControlDesign updateLabel(const QString& formName, QRect rect, const QString& text, QColor colour,
                          Qt::Alignment horizontal) {
    return {.formName = formName,
            .kind = ControlKind::Label,
            .rect = rect,
            .picture = formName + QStringLiteral("Background"),
            .cursor = skinCursor,
            .text = text,
            .fontFamily = QStringLiteral("宋体"),
            .fontPixelSize = 12,
            .textColour = colour,
            .alignment = horizontal | Qt::AlignVCenter};
}

ControlDesign timer(const QString& formName) {
    return {.formName = formName, .kind = ControlKind::Timer, .rect = {}};
}

const QPoint storedPosition(50, 50);

} // namespace

const WindowDesign& mainWindow() {
    // The stored main window record carries one further setting (2) that no other window has;
    // it is not carried over: the window first appears in its normal state at the stored
    // position, like every window without an owner.
    // Listed bottom to top: the band lies over the browser's top rows, so a clean dark band runs
    // under the strip, and the strip owns row 21.
    static const WindowDesign design{.name = QStringLiteral("MainWindow"),
                                     .title = QStringLiteral("索沃电台"),
                                     .size = {960, 440},
                                     .storedPosition = storedPosition,
                                     .background = QColor(128, 128, 255),
                                     .backgroundPicture = {},
                                     .icon = QStringLiteral("ProgramIcon"),
                                     .cursor = skinCursor,
                                     .rounding = Rounding::WhenSized,
                                     .controls = {
                                         {.formName = mainForm::radioBrowser,
                                          .kind = ControlKind::WebBrowser,
                                          .rect = {-121, 24, 1200, 450},
                                          .cursor = skinCursor,
                                          .address = QStringLiteral("/diantai/sorvo/")},
                                         {.formName = mainForm::bandPicture,
                                          .kind = ControlKind::PictureBox,
                                          .rect = {0, 21, 960, 20},
                                          .picture = QStringLiteral("BandImage"),
                                          .cursor = skinCursor},
                                         {.formName = mainForm::titleCanvas,
                                          .kind = ControlKind::Canvas,
                                          .rect = {0, 0, 960, 22},
                                          .picture = QStringLiteral("StripTile"),
                                          .cursor = skinCursor},
                                     }};
    return design;
}

const WindowDesign& splashWindow() {
    static const WindowDesign design{.name = QStringLiteral("SplashWindow"),
                                     .title = QStringLiteral("索沃电台正在启动中..."),
                                     .size = {770, 330},
                                     .storedPosition = storedPosition,
                                     .background = QColor(88, 48, 224),
                                     .backgroundPicture = {},
                                     .icon = {},
                                     .cursor = skinCursor,
                                     .rounding = Rounding::WhenCreatedAndSized,
                                     .controls = {{.formName = splashForm::splashPicture,
                                                   .kind = ControlKind::PictureBox,
                                                   .rect = {0, 0, 770, 330},
                                                   .picture = QStringLiteral("SplashAnimation")}}};
    return design;
}

const WindowDesign& quitConfirmWindow() {
    static const WindowDesign design{
        .name = QStringLiteral("QuitConfirmWindow"),
        .title = QStringLiteral("退出索沃电台？"),
        .size = {325, 245},
        .storedPosition = storedPosition,
        .background = {},
        .backgroundPicture = QStringLiteral("QuitConfirmBackdrop"),
        .icon = {},
        .cursor = skinCursor,
        .rounding = Rounding::WhenCreatedAndSized,
        // The orange of the buttons' highlighted faces.
        .focusColour = QColor(255, 128, 0),
        .escapeKey = quitConfirmForm::cancelButton,
        .controls = {
            button(quitConfirmForm::okButton, {71, 198, 72, 31}, QStringLiteral("QuitOkButton"),
                   skinCursor, QStringLiteral("确定")),
            button(quitConfirmForm::cancelButton, {177, 198, 72, 31},
                   QStringLiteral("QuitCancelButton"), cancelCursor, QStringLiteral("取消")),
        }};
    return design;
}

const WindowDesign& aboutWindow() {
    static const WindowDesign design{.name = QStringLiteral("AboutWindow"),
                                     .title = QStringLiteral("关于我们"),
                                     .size = {325, 245},
                                     .storedPosition = storedPosition,
                                     .background = {},
                                     .backgroundPicture = QStringLiteral("AboutBackdrop"),
                                     .icon = {},
                                     .cursor = skinCursor,
                                     .rounding = Rounding::WhenCreated,
                                     // The gold of the highlighted power glyph.
                                     .focusColour = QColor(255, 200, 60),
                                     .escapeKey = aboutForm::closeButton,
                                     .controls = {button(aboutForm::closeButton, {271, 0, 54, 54},
                                                         QStringLiteral("AboutCloseButton"),
                                                         closeCursor, QStringLiteral("关闭"))}};
    return design;
}

const WindowDesign& versionWindow() {
    static const WindowDesign design{
        .name = QStringLiteral("VersionWindow"),
        .title = QStringLiteral("索沃电台版本"),
        .size = {520, 320},
        .storedPosition = storedPosition,
        .background = {},
        .backgroundPicture = QStringLiteral("VersionBackdrop"),
        .icon = {},
        .cursor = skinCursor,
        .rounding = Rounding::WhenCreatedAndSized,
        // The light blue glow round the highlighted button faces.
        .focusColour = QColor(80, 176, 255),
        .escapeKey = versionForm::cancelCheckButton,
        .controls = {
            button(versionForm::checkUpdateButton, {126, 215, 100, 55},
                   QStringLiteral("CheckUpdateButton"), skinCursor, QStringLiteral("检测更新")),
            button(versionForm::cancelCheckButton, {285, 215, 100, 55},
                   QStringLiteral("CancelCheckButton"), cancelCursor, QStringLiteral("取消检测")),
        }};
    return design;
}

const WindowDesign& updateWindow() {
    const QColor orange(255, 128, 0);
    const QColor violet(144, 0, 255);
    static const WindowDesign design{
        .name = QStringLiteral("UpdateWindow"),
        .title = QStringLiteral("索沃电台在线更新升级"),
        .size = {376, 277},
        .storedPosition = storedPosition,
        .background = QColor(255, 128, 192),
        .backgroundPicture = QStringLiteral("UpdateBackdrop"),
        .icon = QStringLiteral("UpdateIcon"),
        .cursor = skinCursor,
        .rounding = Rounding::WhenCreatedAndSized,
        // The orange of its progress texts: its pink is already the speed list's outline.
        .focusColour = QColor(255, 128, 0),
        .escapeKey = closeRequest,
        .controls = {
            {.formName = updateForm::page,
             .kind = ControlKind::WebBrowser,
             .rect = {13, 16, 350, 80},
             .cursor = handCursor,
             .address = QStringLiteral("/diantai/softpic/soft_v1.0.html")},
            {.formName = updateForm::progressBar,
             .kind = ControlKind::ProgressBar,
             .rect = {13, 100, 350, 16},
             .cursor = skinCursor},
            updateLabel(updateForm::percentLabel, {17, 128, 96, 20}, QStringLiteral("等待下载"),
                        orange, Qt::AlignLeft),
            updateLabel(updateForm::sizeLabel, {197, 128, 144, 20}, QStringLiteral("下载进度"),
                        orange, Qt::AlignRight),
            updateLabel(updateForm::timeLabel, {15, 152, 96, 20}, {}, violet, Qt::AlignLeft),
            updateLabel(updateForm::speedLabel, {234, 152, 112, 20}, {}, violet, Qt::AlignHCenter),
            {.formName = updateForm::speedList,
             .kind = ControlKind::DropDownList,
             .rect = {25, 198, 76, 20},
             .cursor = handCursor,
             .entries = {{QStringLiteral("超速更新"), 200},
                         {QStringLiteral("高速更新"), 120},
                         {QStringLiteral("快速更新"), 60},
                         {QStringLiteral("普通更新"), 20},
                         {QStringLiteral("低速更新"), 6}}},
            {.formName = updateForm::startButton,
             .kind = ControlKind::GraphicButton,
             .rect = {126, 190, 108, 38},
             .picture = QStringLiteral("UpdateStartButton"),
             .cursor = handCursor,
             .text = QStringLiteral("立即"),
             .pictureWords = QStringLiteral("立即在线升级")},
            {.formName = updateForm::cancelButton,
             .kind = ControlKind::GraphicButton,
             .rect = {257, 190, 76, 38},
             .picture = QStringLiteral("UpdateCancelButton"),
             .cursor = handCursor,
             .text = QStringLiteral("取消升级")},
            timer(updateForm::fastTimer),
            timer(updateForm::statusTimer),
        }};
    return design;
}

const MenuScheme& trayMenuScheme() {
    static const MenuScheme scheme{.colours = {{255, 255, 255},
                                               {0, 136, 255},
                                               {255, 255, 255},
                                               {128, 128, 0},
                                               {236, 236, 236},
                                               {255, 128, 0},
                                               {58, 58, 58},
                                               {255, 168, 255},
                                               {0, 136, 255},
                                               {147, 55, 81},
                                               {255, 255, 255}},
                                   .iconList = QStringLiteral("TrayMenuIcons"),
                                   .fontFamily = QStringLiteral("微软雅黑"),
                                   .fontPixelSize = 12};
    return scheme;
}

const MenuScheme& updateMenuScheme() {
    static const MenuScheme scheme{.colours = {{255, 255, 255},
                                               {255, 128, 192},
                                               {255, 255, 255},
                                               {255, 128, 192},
                                               {255, 236, 245},
                                               {255, 193, 218},
                                               {58, 58, 58},
                                               {255, 168, 255},
                                               {255, 128, 192},
                                               {147, 55, 81},
                                               {255, 255, 255}},
                                   .iconList = QStringLiteral("UpdateMenuIcons"),
                                   .fontFamily = QStringLiteral("微软雅黑"),
                                   .fontPixelSize = 12};
    return scheme;
}

} // namespace sorvo::design
