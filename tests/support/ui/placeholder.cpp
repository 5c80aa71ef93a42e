// Qt-side test helpers live in this folder.
