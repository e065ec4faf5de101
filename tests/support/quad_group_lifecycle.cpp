// Runs the batch registry through a program's whole life: it must be empty when main begins,
// and destroying it at exit must free only its nodes, leaving every batch it pointed to intact.
// Exit status 0 when both hold; the check after exit runs from the program's final destructors.
#include <cstdio>
#include <cstdlib>
#include <unistd.h>

#include "shared.h"

namespace {

struct Batch : QuadGroup {
  unsigned canary = 0x5EA5C0DE;
};

constexpr int kBatches = 3;
Batch* batches[kBatches];

// Functions in .fini_array run after every static destructor registered through atexit,
// the registry's included. A batch freed by the registry shows here as a changed canary, or
// as a use after free under AddressSanitizer.
__attribute__((destructor)) void check_batches_after_exit() {
  for (Batch* b : batches) {
    if (b == nullptr || b->canary != 0x5EA5C0DE) {
      std::fputs("quad_group_lifecycle: a batch did not survive the registry's destruction\n",
                 stderr);
      _exit(1);
    }
  }
  for (Batch* b : batches) delete b;
  std::fputs("quad_group_lifecycle: batches intact after exit\n", stderr);
}

}  // namespace

int main() {
  if (!QuadGroup::quad_group_list.empty()) {
    std::fputs("quad_group_lifecycle: registry not empty when main begins\n", stderr);
    return 1;
  }
  for (Batch*& b : batches) {
    b = new Batch;
    QuadGroup::quad_group_list.push_back(b);
  }
  std::fputs("quad_group_lifecycle: registry empty at main, 3 batches registered\n", stderr);
  return 0;
}
