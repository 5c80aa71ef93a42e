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
    for (const char* number : {"1", "2"}) model.addHeader(number);
    model.addItem({"社員番号", "氏名\r\n(漢字)"});
    model.addItem({"1001", ""});
    const std::pair<int, QStringList> cases[] = {
        {0, {"1", "2"}}, {1, {"1: 社員番号", "2: 氏名 (漢字)"}}, {9, {"1: 1001", "2"}}, {-1, {"1", "2"}}};
    for (const auto& [header, titles] : cases) {
        view.setHeaderCount(header);
        EXPECT_EQ(QStringList({view.columnTitle(0), view.columnTitle(1)}), titles) << header;
    }
}

}  // namespace
}  // namespace trelmo::test
