// The table model behind the CSV preview.
#include <gtest/gtest.h>

#include <QAbstractItemModelTester>
#include <QSignalSpy>

#include "engine/csv/csv.h"
#include "tests/support/ui/qt_app.h"
#include "ui/editor/preview_model.h"

namespace trelmo::test {
namespace {

using ui::PreviewModel;

class PreviewModelTest : public ::testing::Test {
protected:
    static void SetUpTestSuite() { qtApp(); }

    PreviewModel model;
    QAbstractItemModelTester tester{&model, QAbstractItemModelTester::FailureReportingMode::Fatal};

    std::string row(int r) const {
        std::string out;
        for (int c = 0; c < model.columnCount(); ++c)
            out += (c ? "|" : "") + model.index(r, c).data().toString().toStdString();
        return out;
    }
};

TEST_F(PreviewModelTest, HeadersAndRowsAsTheReaderAddsThem) {
    CsvListTarget& list = model;
    list.clearHeaders();
    list.clearItems();
    for (const char* h : {"1", "2", "3"}) list.addHeader(h);
    list.addItem({"1", "Kobe, Hyogo", "a&b"});
    list.addItem({"2", "奈良"});
    list.addItem({"", "", ""});

    ASSERT_EQ(model.columnCount(), 3);
    ASSERT_EQ(model.rowCount(), 3);
    EXPECT_EQ(model.headerData(0, Qt::Horizontal).toString(), "1");
    EXPECT_EQ(model.headerData(2, Qt::Horizontal).toString(), "3");
    EXPECT_FALSE(model.headerData(3, Qt::Horizontal).isValid());
    EXPECT_EQ(row(0), "1|Kobe, Hyogo|a&b");
    EXPECT_EQ(row(1), "2|奈良|");  // a field the record lacks is empty
    EXPECT_EQ(row(2), "||");
    EXPECT_FALSE(model.index(0, 0).data(Qt::EditRole).isValid());
    EXPECT_EQ(model.rowCount(model.index(0, 0)), 0);
}

TEST_F(PreviewModelTest, ClearingEmptiesRowsAndColumns) {
    model.addHeader("1");
    model.addItem({"a"});
    QSignalSpy removedRows(&model, &QAbstractItemModel::rowsRemoved);
    model.clearItems();
    EXPECT_EQ(model.rowCount(), 0);
    EXPECT_EQ(removedRows.count(), 1);
    model.clearHeaders();
    EXPECT_EQ(model.columnCount(), 0);
    model.clearItems();  // already empty
    model.clearHeaders();
    model.addHeader("1");
    model.addItem({"b"});
    EXPECT_EQ(row(0), "b");
}

TEST_F(PreviewModelTest, BulkLoadResetsOnceAtTheEnd) {
    QSignalSpy reset(&model, &QAbstractItemModel::modelReset);
    QSignalSpy inserted(&model, &QAbstractItemModel::rowsInserted);
    {
        PreviewModel::BulkLoad bulk(model);
        model.clearHeaders();
        model.clearItems();
        for (int c = 1; c <= 20; ++c) model.addHeader(std::to_string(c));
        for (int r = 0; r < 100000; ++r) {
            std::vector<std::string> fields;
            for (int c = 0; c < 20; ++c) fields.push_back(std::to_string(r * 20 + c));
            model.addItem(std::move(fields));
        }
    }
    EXPECT_EQ(reset.count(), 1);
    EXPECT_EQ(inserted.count(), 0);
    EXPECT_EQ(model.rowCount(), 100000);
    EXPECT_EQ(model.columnCount(), 20);
    EXPECT_EQ(model.cell(99999, 19), "1999999");
    EXPECT_EQ(model.cell(0, 0), "0");
    EXPECT_EQ(model.cell(100000, 0), "");
}

}  // namespace
}  // namespace trelmo::test
