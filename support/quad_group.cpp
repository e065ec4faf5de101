// Storage for the sprite batch registry. The list is constructed empty during static
// initialisation, before main runs, and destroyed at exit; it never owns or frees a batch.
// The engine's shared constants come with shared.h, one private copy per translation unit.
#include "shared.h"

std::list<QuadGroup*> QuadGroup::quad_group_list;
