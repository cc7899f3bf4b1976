// SPDX-License-Identifier: Apache-2.0
#include "review/OfficeReview.h"

#include "office/Office.h"
#include "office/Parameters.h"

namespace ordano {

ReviewContext review_context(Office& office) {
    const ParametersRecord& params = office.params();
    ReceiveFolders folders{params.text(Param::val_rec), params.text(Param::tra_rec),
                           params.text(Param::pag_rec), params.text(Param::sag_rec),
                           params.text(Param::api_rec), params.text(Param::prof_rec)};
    return ReviewContext{std::move(folders), office.session().folders.val_rec, office.catalog(),
                         office.clock().now(), office.locale()};
}

}  // namespace ordano
