# Nothing in the program names the GIF codec: it registers itself with the image loader when the
# program starts, and the program's link keeps it in for that. Check that it is there.
add_test(NAME graphics.gif_codec_in_program
  COMMAND sh -c "nm -C \"$1\" | grep -q 'CGifImage::RegisterWithImageLoader()'" sh
          $<TARGET_FILE:${TANZO_EXECUTABLE}>)
set_tests_properties(graphics.gif_codec_in_program PROPERTIES LABELS graphics)
