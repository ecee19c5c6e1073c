// Run-time checks of the interface layouts that complement the compile-time
// ones in hl/layout_checks.h: the native build keeps the published field
// order, and function tables keep one pointer per slot.
#include <gtest/gtest.h>
#include <stddef.h>
#include <string.h>

#include <string>
#include <type_traits>
#include <vector>

#include "hl/hl.h"
#include "hl/layout_checks.h"
#include "metamod/metamod.h"

namespace {

struct Field {
    const char* name;
    size_t offset;
    size_t size;
    size_t offset32;
};

struct Layout {
    const char* name;
    std::vector<Field> fields;
    size_t size;
};

#define NUVDM_LAYOUT_BEGIN(T) \
    {                         \
#T, {
#define NUVDM_LAYOUT_FIELD(T, f, o) Field{#f, offsetof(T, f), sizeof(T::f), o},
#define NUVDM_LAYOUT_END(T) \
    }                       \
    , sizeof(T)             \
    }                       \
    ,

const std::vector<Layout> kLayouts = {
#include "layout_table.inc"
};

#undef NUVDM_LAYOUT_BEGIN
#undef NUVDM_LAYOUT_FIELD
#undef NUVDM_LAYOUT_END

const Layout& layoutOf(const std::string& name) {
    for (const Layout& l : kLayouts)
        if (name == l.name) return l;
    ADD_FAILURE() << "no layout " << name;
    return kLayouts.front();
}

bool isFunctionTable(const std::string& name) {
    return name == "enginefuncs_t" || name == "DLL_FUNCTIONS" || name == "NEW_DLL_FUNCTIONS" ||
           name == "META_FUNCTIONS" || name == "mutil_funcs_t" || name == "gamedll_funcs_t";
}

}  // namespace

TEST(Layout, EveryRecordIsListed) {
    EXPECT_EQ(kLayouts.size(), 31u);
    EXPECT_EQ(layoutOf("enginefuncs_t").fields.size(), 158u);
    EXPECT_EQ(layoutOf("DLL_FUNCTIONS").fields.size(), 50u);
    EXPECT_EQ(layoutOf("NEW_DLL_FUNCTIONS").fields.size(), 5u);
    EXPECT_EQ(layoutOf("entvars_t").fields.size(), 123u);
    EXPECT_EQ(layoutOf("playermove_t").fields.size(), 97u);
    EXPECT_EQ(layoutOf("globalvars_t").fields.size(), 31u);
}

// Fields follow one another without overlap, in the published order, and fit
// the record: in every build, whatever the pointer size.
TEST(Layout, FieldsKeepThePublishedOrder) {
    for (const Layout& l : kLayouts) {
        SCOPED_TRACE(l.name);
        size_t end = 0;
        size_t end32 = 0;
        for (const Field& f : l.fields) {
            EXPECT_GE(f.offset, end) << f.name << " overlaps or precedes its predecessor";
            EXPECT_GE(f.offset32, end32) << f.name << " out of order in the 32-bit table";
            end = f.offset + f.size;
            end32 = f.offset32 + 1;
        }
        EXPECT_LE(end, l.size);
    }
}

TEST(Layout, FunctionTablesHoldOnePointerPerSlot) {
    for (const Layout& l : kLayouts) {
        if (!isFunctionTable(l.name)) continue;
        SCOPED_TRACE(l.name);
        for (size_t i = 0; i < l.fields.size(); ++i) {
            EXPECT_EQ(l.fields[i].offset32, i * 4) << l.fields[i].name;
            EXPECT_EQ(l.fields[i].offset, i * sizeof(void*)) << l.fields[i].name;
            EXPECT_EQ(l.fields[i].size, sizeof(void*)) << l.fields[i].name;
        }
        EXPECT_EQ(l.size, l.fields.size() * sizeof(void*));
    }
}

TEST(Layout, ThirtyTwoBitOffsetsMatchThePublishedOnes) {
    if (sizeof(void*) != 4) GTEST_SKIP() << "native build; checked in the 32-bit build";
    for (const Layout& l : kLayouts)
        for (const Field& f : l.fields) EXPECT_EQ(f.offset, f.offset32) << l.name << "::" << f.name;
}

// The one slot the published header declares with vec3_t parameters takes
// them as C arrays: two pointers to three floats on the machine, which is
// how the engine passes them (by value, 12 bytes each, the stack goes wrong).
static_assert(std::is_same_v<decltype(DLL_FUNCTIONS::pfnCreateBaseline),
                             void (*)(int, int, entity_state_t*, edict_t*, int, vec_t*, vec_t*)>);

TEST(Layout, EngineTableSplitsAfterPlayerAuthId) {
    EXPECT_EQ(offsetof(enginefuncs_t, pfnSequenceGet), ENGINE_FUNCTIONS_BASE_SLOTS * sizeof(void*));
    EXPECT_EQ(sizeof(enginefuncs_t), ENGINE_FUNCTIONS_SLOTS * sizeof(void*));
    EXPECT_EQ(layoutOf("enginefuncs_t").fields[143].name, std::string("pfnGetPlayerAuthId"));
}

// The entity variables sit inside the edict, and a zeroed record reads as zeros.
TEST(Layout, EdictEmbedsItsVariables) {
    edict_t e;
    memset(&e, 0, sizeof e);
    e.v.pContainingEntity = &e;
    e.v.origin = vec3_t(1.0f, 2.0f, 3.0f);
    EXPECT_EQ(reinterpret_cast<const char*>(&e.v) - reinterpret_cast<const char*>(&e),
              static_cast<ptrdiff_t>(offsetof(edict_t, v)));
    EXPECT_EQ(e.v.pContainingEntity, &e);
    EXPECT_FLOAT_EQ(e.v.origin.z, 3.0f);
    EXPECT_EQ(e.v.flags, 0);
}
