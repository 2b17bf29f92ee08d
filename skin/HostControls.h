// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>

#include <vector>

class QWidget;

namespace skin {

// How the skin and the skinned controls reach the child controls of a host window without
// knowing their classes: tag text, twips geometry, the caption of a label, and the mouse pointer
// number of the host window itself.
//
// A control's tag is UserControl::Tag() for owner-drawn controls and the dynamic property "Tag"
// for any other widget (a caption label, for instance). Operations that a widget cannot carry out
// throw skin::Failure with error 438, as a call on an object without that member would.

// The host window's controls in control order: Form::Controls() for a form, otherwise the
// widgets inside the host that are not the inner parts of an owner-drawn control.
std::vector<QWidget *> HostControls(QWidget *host);

// The tag text; an empty string for a widget without one.
QString ControlTag(const QWidget *control);
// Sets the tag (owner-drawn controls keep it themselves, other widgets as a dynamic property).
void SetControlTag(QWidget *control, const QString &tag);

// Enabled and visible states. A control with an invokable SetEnabled(bool) (a skinned button,
// whose caption colour follows) gets that call; others get QWidget's.
void SetControlEnabled(QWidget *control, bool enabled);
void SetControlVisible(QWidget *control, bool visible);

// Geometry in twips of the control's screen.
double ControlWidth(const QWidget *control);
double ControlHeight(const QWidget *control);
void SetControlLeft(QWidget *control, double twips);
void SetControlTop(QWidget *control, double twips);

// The outer width of a window in twips (frame included when the window system frames it).
double WindowWidth(const QWidget *window);

// A caption label's text colour (0x00BBGGRR or a system colour) and caption. Throws Failure
// 438 for a widget that has neither (it is not a label).
void SetLabelColour(QWidget *label, unsigned colour);
void SetLabelCaption(QWidget *label, const QString &caption);

// The mouse pointer of a window, by its standard number (0 default ... 15, 99 custom). The value
// is kept with the window so it reads back; 0 gives the window back its inherited cursor.
void SetWindowMousePointer(QWidget *window, int pointer);
int WindowMousePointer(const QWidget *window);

// Error numbers of the host-control calls.
constexpr long ErrObjectDoesNotSupport = 438;

} // namespace skin
