// The pictures of one toolbar's buttons: each drawn for the suite and scalable (an SVG gives the size
// asked for, a bitmap only its own), none of Qt's standard pictures, no two alike, each with a tool tip.
#pragma once

#include <QAction>
#include <QIcon>
#include <QImage>
#include <QImageReader>
#include <QList>
#include <QStyle>
#include <QToolBar>
#include <QToolButton>
#include <QtTest>

namespace test {

inline QImage pictureOf(const QIcon& icon, int size) {
    return icon.pixmap(QSize(size, size)).toImage().convertToFormat(QImage::Format_ARGB32);
}

inline bool drawsSomething(const QImage& image) {
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            if (qAlpha(image.pixel(x, y)) > 0) return true;
    return false;
}

// Fails the running test naming the first button that breaks a rule; `buttons` is how many the bar holds.
inline void CheckToolbarPictures(const QToolBar* bar, int buttons) {
    QVERIFY2(QImageReader::supportedImageFormats().contains("svg"), "Qt's SVG plugins (libqt6svg6) are missing");
    QVERIFY(bar);
    QList<QImage> standard;
    for (int sp = QStyle::SP_TitleBarMenuButton; sp <= QStyle::SP_TabCloseButton; ++sp) {
        const QIcon icon = bar->style()->standardIcon(QStyle::StandardPixmap(sp));
        if (!icon.isNull()) standard << pictureOf(icon, 24);
    }
    QList<QImage> seen;
    QStringList seenNames;
    for (QAction* a : bar->actions()) {
        if (a->isSeparator()) continue;
        auto* b = qobject_cast<QToolButton*>(bar->widgetForAction(a));
        if (!b) continue;
        const QString name = b->objectName().isEmpty() ? a->objectName() : b->objectName();
        const QByteArray what = (bar->objectName() + QLatin1Char('/') + name).toUtf8();
        QVERIFY2(!b->icon().isNull(), what + " has no picture");
        QVERIFY2(!b->toolTip().isEmpty(), what + " has no tool tip");
        QVERIFY2(b->icon().actualSize(QSize(96, 96)) == QSize(96, 96), what + " does not scale");
        const QImage picture = pictureOf(b->icon(), 24);
        QVERIFY2(drawsSomething(picture), what + " draws nothing");
        QVERIFY2(!standard.contains(picture), what + " shows a standard picture of Qt");
        const qsizetype twin = seen.indexOf(picture);
        QVERIFY2(twin < 0, what + " looks like " + seenNames.value(twin).toUtf8());
        seen << picture;
        seenNames << name;
    }
    QCOMPARE(seen.size(), buttons);
}

}  // namespace test
