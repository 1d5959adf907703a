#pragma once

#include "Annotation.h"
#include "PhotoBox.h"

#include <vector>

// A window whose person box overlaps a person's box by more intersection
// over union than this may show enough of them to be taken for them: it is
// no false alarm. Small, since a hard negative that is half a person would
// teach training to reject people.
constexpr double kMostOverlapWithPeople = 0.1;

// Whether box overlaps none of people by more than kMostOverlapWithPeople:
// a window there that a detector takes for a person is a false alarm.
bool clearOfPeople(const PhotoBox& box, const std::vector<PersonBox>& people);
