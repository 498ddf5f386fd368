#pragma once

#include <QString>

// The form names of the windows' controls, by their roles: the designs name the controls with
// them, and the code finds them by them.
namespace sorvo::design::updateForm {

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

} // namespace sorvo::design::updateForm
