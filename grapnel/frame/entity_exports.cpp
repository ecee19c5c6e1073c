// Entity link exports for standalone mode. The engine creates a map entity by
// calling the export named like its class; each one here forwards to the
// function of the same name in the real game library, found at its first
// call and cached (or marked missing) for the life of the process.
#include "exports.h"
#include "os/os.h"

namespace {

using EntityLink = void (*)(entvars_t* pev);

struct EntityExportForwarder {
  EntityLink address;
  bool missing;
};

inline void Forward(EntityExportForwarder& forwarder, const char* name, entvars_t* pev) {
  if (forwarder.missing) return;
  if (!forwarder.address) {
    void* found = GameLibrary ? os::findSymbol(GameLibrary, name) : nullptr;
    if (!found) {
      forwarder.missing = true;
      return;
    }
    forwarder.address = reinterpret_cast<EntityLink>(found);
  }
  forwarder.address(pev);
}

}  // namespace

#define GRAPNEL_ENTITY(name) \
  static EntityExportForwarder name##_forwarder; \
  GRAPNEL_EXPORT void name(entvars_t* pev) { Forward(name##_forwarder, #name, pev); }
#include "entity_classes.inc"
#undef GRAPNEL_ENTITY

// The game's entity base class, as far as this routine needs it: Use is the
// virtual function at position 45 of its table.
class CBaseEntity {
 public:
  DEF_EXPORT void SUB_CallUseToggle();

 private:
  virtual void Slot00();
  virtual void Slot01();
  virtual void Slot02();
  virtual void Slot03();
  virtual void Slot04();
  virtual void Slot05();
  virtual void Slot06();
  virtual void Slot07();
  virtual void Slot08();
  virtual void Slot09();
  virtual void Slot10();
  virtual void Slot11();
  virtual void Slot12();
  virtual void Slot13();
  virtual void Slot14();
  virtual void Slot15();
  virtual void Slot16();
  virtual void Slot17();
  virtual void Slot18();
  virtual void Slot19();
  virtual void Slot20();
  virtual void Slot21();
  virtual void Slot22();
  virtual void Slot23();
  virtual void Slot24();
  virtual void Slot25();
  virtual void Slot26();
  virtual void Slot27();
  virtual void Slot28();
  virtual void Slot29();
  virtual void Slot30();
  virtual void Slot31();
  virtual void Slot32();
  virtual void Slot33();
  virtual void Slot34();
  virtual void Slot35();
  virtual void Slot36();
  virtual void Slot37();
  virtual void Slot38();
  virtual void Slot39();
  virtual void Slot40();
  virtual void Slot41();
  virtual void Slot42();
  virtual void Slot43();
  virtual void Slot44();
  virtual void Use(CBaseEntity* activator, CBaseEntity* caller, USE_TYPE useType, float value);
};

// Toggles the entity, which is its own activator and caller.
void CBaseEntity::SUB_CallUseToggle() { Use(this, this, USE_TOGGLE, 0); }
