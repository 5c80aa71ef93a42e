#pragma once
// The one QApplication of a Qt test program, made on first use.

#include <QApplication>

namespace trelmo::test {

QApplication& qtApp();

}  // namespace trelmo::test
