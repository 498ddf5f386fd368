#include "app/client.h"

int main(int argc, char* argv[]) {
    return sorvo::app::runClient(argc, argv);
}
