#pragma once

#include "widgets/picker.h"

#include <memory>

namespace ph {

class Tf_search;
class WindowPlaces;

// The one lookup picker every window opens, made the first time a window asks for it rather
// than at start-up, where most sessions never use it.
class FirstUsePicker : public Picker {
public:
    explicit FirstUsePicker(WindowPlaces& places);
    ~FirstUsePicker() override;
    std::optional<PickRow> pick(const PickRequest& request) override;

private:
    WindowPlaces& m_places;
    std::unique_ptr<Tf_search> m_picker;
};

} // namespace ph
