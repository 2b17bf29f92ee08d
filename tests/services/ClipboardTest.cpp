// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/services/Clipboard.h"

#include <gtest/gtest.h>

#include <QClipboard>
#include <QGuiApplication>
#include <QMimeData>

using services::Clipboard;

TEST(Clipboard, clearEmptiesEveryFormat)
{
    auto *data = new QMimeData;
    data->setHtml(QStringLiteral("<b>x</b>"));
    data->setData(QStringLiteral("application/x-orvena"), "1");
    QGuiApplication::clipboard()->setMimeData(data);
    Clipboard::Clear();
    EXPECT_FALSE(Clipboard::HasText());
    const QMimeData *now = QGuiApplication::clipboard()->mimeData();
    EXPECT_TRUE(!now || now->formats().isEmpty());

    Clipboard::SetText(QStringLiteral("Hello"));
    EXPECT_TRUE(Clipboard::HasText());
    EXPECT_EQ(Clipboard::GetText(), QStringLiteral("Hello"));
}
