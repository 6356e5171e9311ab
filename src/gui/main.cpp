#include "gui/program.h"

int main(int argc, char** argv) {
    return pv::runPlanViewer(argc, argv);
}
