# Product data to supply with the real assets.
#
# Every value in this file is a PLACEHOLDER until MORVANE supplies the real
# one; nothing else in the repository holds product data. The build puts them
# into the games-folder definition (res/gdf/varkold.gdf.xml) and the version
# information (res/version.rc). Each value must stay plain text: no quotes,
# no "<" or "&".

# The game's own GUID in the games folder, in braces.
set(PRODUCT_GAME_ID "{00000000-0000-0000-0000-000000000000}")
# The release date, year-month-day.
set(PRODUCT_RELEASE_DATE "2009-01-01")
# The maker's legal notice (the version information's LegalCopyright).
set(PRODUCT_LEGAL_NOTICE "Copyright (C) MORVANE CO., LTD. All rights reserved.")
# The maker's web address (the URI of Developer and Publisher).
set(PRODUCT_WEB_ADDRESS "http://www.example.com/")

# The six ratings, one line each: the rating board's published GUID, the
# game's rating on that board, then none to three content descriptors. The
# boards' GUIDs are the published ones; the ratings and descriptors are
# placeholders, and so is the choice of the six boards.
set(PRODUCT_RATINGS
  # rating board                             rating                                   descriptors
  "{768BD93D-63BE-46A9-8994-0B53C4B5248F}  {00000000-0000-0000-0000-000000000001}  {00000000-0000-0000-0000-000000000101}"  # ESRB
  "{36798944-B235-48AC-BF21-E25671F597EE}  {00000000-0000-0000-0000-000000000002}  {00000000-0000-0000-0000-000000000201}"  # PEGI
  "{5B39D1B8-ED49-4055-8A47-04B29A579AD6}  {00000000-0000-0000-0000-000000000003}"                                          # PEGI/BBFC
  "{30D34ABD-C6B3-4802-924E-F0C9FC65022B}  {00000000-0000-0000-0000-000000000004}  {00000000-0000-0000-0000-000000000401}"  # CERO
  "{03CF34A3-D6AA-49CF-8C6C-547ECC507CCF}  {00000000-0000-0000-0000-000000000005}"                                          # OFLC-NZ
  "{B305AB16-9FF2-40F5-A658-C014566500DE}  {00000000-0000-0000-0000-000000000006}"                                          # CSRR
)
