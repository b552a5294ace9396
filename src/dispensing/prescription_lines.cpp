#include "dispensing/prescription_lines.h"

#include "dispensing/dispensing_texts.h"

namespace ph {

PrescriptionLines::PrescriptionLines() : LineList(texts::kLineCaptions, Name, Code) {}

} // namespace ph
