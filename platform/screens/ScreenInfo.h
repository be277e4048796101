#pragma once

#include <QList>
#include <QPoint>
#include <QPointer>
#include <QRect>
#include <QScreen>
#include <QString>

// One screen as the rest of the program sees it. Frames are in Qt's global coordinates
// (device-independent pixels, y down), so they can be compared with the pointer position and
// with each other across screens.
struct ScreenInfo {
    QString name;          // the window system's name, usually the connector ("DP-1")
    QString localizedName; // for menus: the monitor's model, made unique among the screens
    QString manufacturer;  // EDID identity, empty where the host does not report it
    QString model;
    QString serialNumber;
    QRect frame;           // the whole screen
    QRect visibleFrame;    // without panels and docks
    qreal devicePixelRatio = 1.0;
    QString displayKey;    // DisplayKey text; empty if the screen cannot be identified
    bool primary = false;
    QPointer<QScreen> screen; // absent for fake screens

    // Space that panels at the bottom edge take, in device-independent pixels; never negative.
    int bottomInset() const;
    bool contains(QPoint globalPoint) const { return frame.contains(globalPoint); }
    // The frame's size in device pixels (what a full-resolution export covers).
    QSize pixelSize() const;

    friend bool operator==(const ScreenInfo &a, const ScreenInfo &b)
    {
        return a.name == b.name && a.localizedName == b.localizedName && a.manufacturer == b.manufacturer
            && a.model == b.model && a.serialNumber == b.serialNumber && a.frame == b.frame
            && a.visibleFrame == b.visibleFrame && a.devicePixelRatio == b.devicePixelRatio
            && a.displayKey == b.displayKey && a.primary == b.primary && a.screen == b.screen;
    }
};

using ScreenList = QList<ScreenInfo>;
