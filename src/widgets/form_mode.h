#pragma once

namespace ph {

// A window shared by several entries of the main window, each showing one variant of it
// (the lookup lists, the users window with or without its grid). Whoever opens it tells it
// which variant before showing it; an opening that names none leaves the last one.
class FormModeWindow {
public:
    virtual ~FormModeWindow() = default;
    virtual void setFormMode(int formMode) = 0;
};

} // namespace ph
