// The button bar's kinds in the program: a TarqButtonHost over the global
// objects and the main display, painting with GL, and the land-line watch
// that the frame tick refreshes.
// Tested through tests/app/program_test.cpp.
#pragma once

#include <memory>

#include "app/button_kinds.h"
#include "app/land_line_watch.h"

class TarqFontSource;

// Over the controller database and the voice engine; refreshed every tick.
TarqLandLineWatch& ProgramLandLines();

class TarqProgramButtonKinds final : public TarqButtonKinds {
public:
    // fonts: the main display's, for measured texts.
    explicit TarqProgramButtonKinds(const TarqFontSource& fonts);
    ~TarqProgramButtonKinds() override;
    std::vector<std::unique_ptr<TarqDisplayButton>> CreateFixedButtons(TarqDisplayButtonBar& bar) override;
    std::vector<std::unique_ptr<TarqDisplayButton>> CreateDynamicButtons(TarqDisplayButtonBar& bar) override;

private:
    std::unique_ptr<TarqButtonHost> m_host;
    std::unique_ptr<TarqHostButtonKinds> m_kinds;
};
