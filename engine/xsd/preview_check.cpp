#include "engine/xsd/preview_check.h"

#include <sys/stat.h>

#include "engine/convert/header_records.h"
#include "engine/error.h"
#include "engine/xsd/fault_text.h"
#include "engine/xsd/output_check.h"

namespace trelmo::xsd {
namespace {

std::timespec changedAt(const std::string& path) {
    struct stat info {};
    if (::stat(path.c_str(), &info) != 0) return {-1, 0};
    return info.st_mtim;
}

bool same(const std::timespec& a, const std::timespec& b) { return a.tv_sec == b.tv_sec && a.tv_nsec == b.tv_nsec; }

}  // namespace

const Schema* PreviewXsdChecker::schemaFor(const std::string& xsdPath, std::string& problem) {
    bool fresh = xsdPath == path_ && (schema_ || !problem_.empty());
    for (const auto& [file, stamp] : stamps_) fresh = fresh && same(changedAt(file), stamp);
    if (!fresh) {
        path_ = xsdPath;
        schema_.reset();
        problem_.clear();
        stamps_.clear();
        try {
            schema_ = std::make_unique<Schema>(Schema::load(xsdPath));
            for (const std::string& file : schema_->files()) stamps_.emplace_back(file, changedAt(file));
        } catch (const RuntimeError& e) {
            problem_ = e.description();  // the answer asked for
            stamps_.emplace_back(xsdPath, changedAt(xsdPath));
        }
    }
    problem = problem_;
    return schema_.get();
}

PreviewXsdResult PreviewXsdChecker::check(const xml::Document& schema, const std::string& schemaPath,
                                          const XmlPreview& preview, const std::vector<std::string>& records) {
    PreviewXsdResult result;
    const xml::Node top = schema.documentElement();
    const std::string xsdPath = top ? xsdPathOf(top, schemaPath) : std::string();
    if (xsdPath.empty()) return result;
    const Schema* xsd = schemaFor(xsdPath, result.problem);
    if (!xsd || !preview.problem.empty()) return result;
    result.checked = true;
    const std::size_t header = HeaderRecordsOf(top);  // a preview with output has a header count it means
    const RecordShape shape(convert::compilePlan(top));
    StreamValidator validator(*xsd, shape);
    validator.write(preview.bytes.data(), preview.bytes.size());
    validator.finish();
    result.total = validator.total();
    for (Fault fault : validator.faults()) {
        PreviewFault shown;
        shown.record = fault.record == 0 ? 0 : fault.record + header;
        shown.column = fault.field == RecordShape::kNone ? 0 : fault.field + 1;
        if (shown.column > 0 && shown.record > 0 && shown.record <= records.size()) {
            const std::vector<std::string> fields = fieldsOf(records[shown.record - 1], false);
            if (fault.field < fields.size()) fault.value = fields[fault.field];
        }
        shown.path = fault.path;
        shown.attribute = fault.attribute;
        shown.reason = reasonOf(fault) + "（" + fault.reason + "）";
        shown.line = faultLine(fault, shown.record);
        result.faults.push_back(std::move(shown));
    }
    return result;
}

}  // namespace trelmo::xsd
