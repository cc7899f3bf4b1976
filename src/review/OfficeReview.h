// SPDX-License-Identifier: Apache-2.0
#pragma once

#include "review/AnswerReview.h"

namespace ordano {

class Office;

// What a review of this office reads: the receive folders of the parameters record, the SAAI
// M3 receive folder as the parameters dialog holds it, the catalogue, the time and the
// workstation's forms.
[[nodiscard]] ReviewContext review_context(Office& office);

}  // namespace ordano
