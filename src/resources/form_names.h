#pragma once

#include <QString>

// The form names of the windows' controls, by their roles: the designs name the controls with
// them, and the code finds them by them.
namespace sorvo::design {

namespace mainForm {
inline const QString radioBrowser = QStringLiteral("超文本浏览框1");
inline const QString bandPicture = QStringLiteral("图片框1");
inline const QString titleCanvas = QStringLiteral("画板");
} // namespace mainForm

namespace splashForm {
inline const QString splashPicture = QStringLiteral("索沃电台启动加载图片框");
} // namespace splashForm

namespace quitConfirmForm {
inline const QString okButton = QStringLiteral("图形按钮确定");
inline const QString cancelButton = QStringLiteral("图形按钮1");
} // namespace quitConfirmForm

namespace aboutForm {
inline const QString closeButton = QStringLiteral("图形按钮关闭");
} // namespace aboutForm

namespace versionForm {
inline const QString checkUpdateButton = QStringLiteral("确定图形按钮");
inline const QString cancelCheckButton = QStringLiteral("取消图形按钮");
} // namespace versionForm

namespace updateForm {

inline const QString page = QStringLiteral("超文本浏览框1");
inline const QString progressBar = QStringLiteral("进度条1");
inline const QString percentLabel = QStringLiteral("标签进度");
inline const QString sizeLabel = QStringLiteral("标签大小");
inline const QString timeLabel = QStringLiteral("标签时间");
inline const QString speedLabel = QStringLiteral("标签速度");
inline const QString speedList = QStringLiteral("组合框");
inline const QString startButton = QStringLiteral("按钮1");
inline const QString cancelButton = QStringLiteral("按钮2");
inline const QString fastTimer = QStringLiteral("时钟");
inline const QString statusTimer = QStringLiteral("时钟1");

} // namespace updateForm

} // namespace sorvo::design
