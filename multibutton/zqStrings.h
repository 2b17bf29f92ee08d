// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>

// The multi-style button's own texts: design-time messages, persisted keys and window
// property names. Tests compare against these same constants.
namespace multibutton::strings
{

inline const QString CaptionAlignRefused = QStringLiteral(
    "When button images are aligned top/bottom center, \r\nbutton captions can only be center aligned");
inline const QString CustomClickNoEffect =
    QStringLiteral("This property has no effect unless the Button Shape is a custom shape.");
inline const QString FocusOnDefault = QStringLiteral(
    "The focus rectangle may appear on default buttons ONLY while in design mode, \r\nbut will not appear "
    "when the form is running.");
inline const QString ValueNotApplicable =
    QStringLiteral("This property is not applicable for command button modes.");
inline const QString PictureSizeShaped =
    QStringLiteral("The picture size cannot be changed for Shaped buttons");
inline const QString MouseIconTitle = QStringLiteral("Select .ico Or .cur Files Only");
inline const QString MouseIconInvalid = QStringLiteral("Invalid picture");
inline const QString PictureFirst =
    QStringLiteral("The Picture Property must be assigned first and must be a bitmap or JPEG.");
inline const QString IconsNotCustom = QStringLiteral("Icons cannot be used for custom buttons. Only use "
                                                     "bitmaps or JPEGs.\r\nButton was changed to Rectangular "
                                                     "shaped.");

// Window properties.
inline const QString OptCount = QStringLiteral("zq_OptCount");
inline const QString OptObj = QStringLiteral("zq_Obj"); // preceded by the member number
inline const QString ClassID = QStringLiteral("zq_ClassID");
inline const QString TimerID = QStringLiteral("zq_TimerID");

// Persisted keys, in save order.
namespace key
{
inline const QString Caption = QStringLiteral("Caption");
inline const QString CapAlign = QStringLiteral("CapAlign");
inline const QString BackStyle = QStringLiteral("BackStyle");
inline const QString Shape = QStringLiteral("Shape");
inline const QString Font = QStringLiteral("Font");
inline const QString cFore = QStringLiteral("cFore");
inline const QString cFHover = QStringLiteral("cFHover");
inline const QString cBHover = QStringLiteral("cBHover");
inline const QString Focus = QStringLiteral("Focus");
inline const QString LockHover = QStringLiteral("LockHover");
inline const QString cGradient = QStringLiteral("cGradient");
inline const QString Gradient = QStringLiteral("Gradient");
inline const QString CapStyle = QStringLiteral("CapStyle");
inline const QString Mode = QStringLiteral("Mode");
inline const QString Value = QStringLiteral("Value");
inline const QString CustomClick = QStringLiteral("CustomClick");
inline const QString ImgAlign = QStringLiteral("ImgAlign");
inline const QString Image = QStringLiteral("Image");
inline const QString ImgSize = QStringLiteral("ImgSize");
inline const QString Enabled = QStringLiteral("Enabled");
inline const QString cBack = QStringLiteral("cBack");
inline const QString mPointer = QStringLiteral("mPointer");
inline const QString mIcon = QStringLiteral("mIcon");
} // namespace key

} // namespace multibutton::strings
