"""Folder trees with a linked folder inside: deleting or searching the tree stays out of the
folder the link points to."""


def make_tree_with_link(tmp_path):
    outside = tmp_path / "outside"
    (outside / "deeper").mkdir(parents=True)
    (outside / "precious.txt").write_text("keep")
    (outside / "deeper" / "needle.dat").write_text("found")
    tree = tmp_path / "tree"
    (tree / "sub").mkdir(parents=True)
    (tree / "sub" / "a.txt").write_text("x")
    (tree / "top.txt").write_text("x")
    (tree / "link").symlink_to(outside, target_is_directory=True)
    return tree, outside


def test_search_does_not_follow_a_link(systool, wine, tmp_path):
    tree, outside = make_tree_with_link(tmp_path)
    assert systool("findfile", wine.winpath(tree), "needle.dat") == [""]
    assert systool("findfile", wine.winpath(tree), "a.txt") == [wine.winpath(tree / "sub" / "a.txt")]
    assert systool("findfile", wine.winpath(tmp_path), "needle.dat") == [wine.winpath(outside / "deeper" / "needle.dat")]


def test_delete_folder_tree_leaves_the_target_of_a_link_alone(systool, wine, tmp_path):
    tree, outside = make_tree_with_link(tmp_path)
    systool("deletetree", wine.winpath(tree), "clear")
    assert (outside / "precious.txt").read_text() == "keep"
    assert (outside / "deeper" / "needle.dat").exists()
    assert not (tree / "sub").exists() and not (tree / "top.txt").exists()


def test_delete_folder_tree_removes_a_plain_tree(systool, wine, tmp_path):
    tree = tmp_path / "plain"
    (tree / "a" / "b").mkdir(parents=True)
    (tree / "a" / "b" / "file.bin").write_bytes(b"\0" * 10)
    assert systool("deletetree", wine.winpath(tree)) == ["TRUE"]
    assert not tree.exists()
    assert systool("deletetree", wine.winpath(tree)) == ["FALSE"]
