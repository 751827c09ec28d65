#include <iostream>

#include <OmbralCodeUnit/OmbralCodeUnit.h>
#include <OmbralCreateUnit/OmbralCreateUnit.h>

int main() {
    OmbralCodeUnit::String fileType;
    std::cout << OmbralCodeUnit::GetDSNTypeString(4, fileType) << "|" << fileType << "|"
              << OmbralCreateUnit::GetDSNActionFromEnumType(OmbralCreateUnit::ADD_SYS_DSN) << "\n";
    OmbralCreateUnit::TOmbralCreator creator(nullptr);
    return creator.GetDSNNameOrAlias() == "NewOmbral" ? 0 : 1;
}
