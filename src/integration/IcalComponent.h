#pragma once

#include <libical/ical.h>
#include <memory>

namespace korvane {

/** Frees a libical component tree when its owner goes. */
struct IcalComponentDeleter
{
    void operator()(icalcomponent* component) const { icalcomponent_free(component); }
};

/** A libical component tree with one owner. */
using IcalComponent = std::unique_ptr<icalcomponent, IcalComponentDeleter>;

} // namespace korvane
