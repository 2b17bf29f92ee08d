// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

namespace studio
{

// Makes the owner-drawn controls known to screen readers: one factory hands Qt the accessible
// interface of each control family (bevel buttons, multi-style buttons, skinned scroll bars,
// buttons and progress bars) and shows the level display as a decorative image. Installing it
// twice does nothing more.
void InstallAccessibility();

} // namespace studio
