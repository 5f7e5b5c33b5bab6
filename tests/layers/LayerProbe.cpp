// Includes the one header named by the build, to show whether a layer can
// reach it.
#include MG_PROBE_HEADER
