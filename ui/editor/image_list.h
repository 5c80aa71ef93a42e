#pragma once
// ImageList1: the five 16 × 16 pictures of the schema tree, numbered from 1.

#include <QIcon>
#include <QPixmap>
#include <array>

namespace trelmo::ui {

namespace picture {
inline constexpr int Closed = 1;    // element
inline constexpr int Open = 2;      // any selected node
inline constexpr int Sheet = 3;     // text, CDATA section, comment
inline constexpr int Asterisk = 4;  // unrecognised tag
inline constexpr int Arrow = 5;     // attribute
inline constexpr int Count = 5;
}  // namespace picture

class ImageList {
public:
    ImageList();

    // The picture with this 1-based index; a null pixmap for any other.
    QPixmap picture(int index) const;
    // An icon that shows `image` normally and `selectedImage` while selected.
    QIcon icon(int image, int selectedImage) const;

private:
    std::array<QPixmap, picture::Count> pictures_;
};

}  // namespace trelmo::ui
