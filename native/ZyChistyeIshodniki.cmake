# The units that need no Win32, as the host build compiles them: one source a line, so that a
# new pure unit is one more line here (its folder must already be in zy_chistye_papki).
set(zy_chistye_ishodniki
    standart/ZyBajty.cpp
    standart/ZyScanStrok.cpp
    standart/ZyKavychki.cpp
    standart/ZyUkazatelPerevoda.cpp
    ishodniki/ZyFNB_oo.cpp
    ishodniki/ZyFNB_ooTekst.cpp
    ishodniki/ZyKFajl64KodArifm.cpp
    ishodniki/ZyKFajl64Kandidaty.cpp
    ishodniki/ZyPlanKop.cpp
    ishodniki/ZyPlanZhurnala.cpp
    navigator/view/ZyVektorBit.cpp
    navigator/core/ZyHodIstorii.cpp
    navigator/core/ZyAdresaFyn.cpp
)

# Folders of their headers.
set(zy_chistye_papki
    standart
    ishodniki
    navigator
    navigator/core
    navigator/view
)
