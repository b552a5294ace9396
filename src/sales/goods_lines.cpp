#include "sales/goods_lines.h"

#include "sales/sales_texts.h"

namespace ph {

GoodsLines::GoodsLines() : LineList(texts::sales::kGoodsLineCaptions, Name, Code) {}

} // namespace ph
