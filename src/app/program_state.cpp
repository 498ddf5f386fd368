#include "app/program_state.h"

#include "update/update_state.h"

namespace sorvo::app {

void initProgramState() {
    update::createUpdateState();
}

void releaseProgramState() {
    update::releaseUpdateState();
}

} // namespace sorvo::app
