// Reader and writer of the font image file (FontImage::Save, FontImage::Load).
