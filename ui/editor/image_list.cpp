#include "ui/editor/image_list.h"

// Resources of a static library are registered by hand; Q_INIT_RESOURCE must
// be used outside any namespace.
static void trelmoInitEditorResources() { Q_INIT_RESOURCE(editor); }

namespace trelmo::ui {

namespace {
constexpr const char* kFiles[picture::Count] = {
    ":/editor/box_closed.xpm", ":/editor/box_open.xpm", ":/editor/box_sheet.xpm",
    ":/editor/box_asterisk.xpm", ":/editor/box_arrow.xpm",
};
}  // namespace

ImageList::ImageList() {
    trelmoInitEditorResources();
    for (int i = 0; i < picture::Count; ++i) pictures_[i] = QPixmap(QString::fromLatin1(kFiles[i]));
}

QPixmap ImageList::picture(int index) const {
    if (index < 1 || index > picture::Count) return {};
    return pictures_[index - 1];
}

QIcon ImageList::icon(int image, int selectedImage) const {
    QIcon result;
    result.addPixmap(picture(image), QIcon::Normal);
    result.addPixmap(picture(selectedImage), QIcon::Selected);
    return result;
}

}  // namespace trelmo::ui
