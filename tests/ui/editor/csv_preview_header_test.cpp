// The CSV preview's header records: the last one titles the columns.
#include <gtest/gtest.h>

#include "tests/support/ui/qt_app.h"
#include "ui/editor/csv_preview_view.h"
#include "ui/editor/preview_model.h"

namespace trelmo::test {
namespace {

TEST(CsvPreviewHeader, TheLastHeaderRecordTitlesTheColumns) {
    qtApp();
    ui::PreviewModel model;
    ui::CsvPreviewView view;
    view.setModel(&model);
    for (const char* number : {"1", "2", "3"}) model.addHeader(number);
    model.addItem({"Staff list", "", ""});
    model.addItem({"社員番号", "氏名\r\n(漢字)", ""});
    model.addItem({"1001", "山田", "x"});
    const struct {
        int header;
        QStringList titles;
    } cases[] = {
        {0, {"1", "2", "3"}},
        {1, {"1: Staff list", "2", "3"}},
        {2, {"1: 社員番号", "2: 氏名 (漢字)", "3"}},
        {9, {"1: 1001", "2: 山田", "3: x"}},  // every row a header row
        {-1, {"1", "2", "3"}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.header);
        view.setHeaderCount(c.header);
        QStringList titles;
        for (int column = 0; column < 3; ++column) titles << view.columnTitle(column);
        EXPECT_EQ(titles, c.titles);
        EXPECT_EQ(view.isHeaderRow(1), c.header >= 2);
    }
}

}  // namespace
}  // namespace trelmo::test
