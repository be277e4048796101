// Entry points of the control bar's and the canvases' commands whose work (importing,
// arranging, cropping) is added on top of the controller's apply road.
#include "app/controller/DesktopWindowController.h"

#include <QPushButton>

void DesktopWindowController::addPhotos(QPushButton *button)
{
    Q_UNUSED(button);
}

void DesktopWindowController::tidyUp() {}

void DesktopWindowController::scatterPhotos() {}

void DesktopWindowController::handleDrop(const QString &filePath, int screenIndex)
{
    Q_UNUSED(filePath);
    Q_UNUSED(screenIndex);
}

void DesktopWindowController::pasteImageFromClipboard() {}

void DesktopWindowController::beginCrop(const QUuid &photoID, int screenIndex)
{
    Q_UNUSED(photoID);
    Q_UNUSED(screenIndex);
}
