# The check that draws every screen in every language learns the point size of each text drawn by
# wrapping the two SDL_ttf calls that open fonts and render text.
target_link_options(tests_screens PRIVATE "LINKER:--wrap=TTF_OpenFont" "LINKER:--wrap=TTF_RenderUTF8_Blended")
