// TumdcComponent has no code of its own; this unit gives moc a home for it.
#include "cleaners/files/TumdcComponent.h"
