#include "app/first_use_picker.h"

#include "widgets/search.h"
#include "widgets/window_places.h"

namespace ph {

FirstUsePicker::FirstUsePicker(WindowPlaces& places) : m_places(places) {}

FirstUsePicker::~FirstUsePicker() = default;

std::optional<PickRow> FirstUsePicker::pick(const PickRequest& request) {
    if (!m_picker) {
        m_picker = std::make_unique<Tf_search>();
        m_places.watch(m_picker.get());
    }
    return m_picker->pick(request);
}

} // namespace ph
